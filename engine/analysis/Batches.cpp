#include "engine/analysis/Batches.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace kerv::engine {

std::vector<std::vector<size_t>> formBatches(const std::vector<size_t>& groups, const std::vector<uint64_t>& bytes,
                                             unsigned jobs, const BatchLimits& limits) {
    std::map<size_t, std::vector<size_t>> byGroup;
    for (size_t i = 0; i < groups.size(); ++i) byGroup[groups[i]].push_back(i);

    // Each run takes a quarter of an even share of the bytes still left, so
    // the last runs are small and end close together.
    const uint64_t share = uint64_t{4} * std::max(jobs, 1u);
    uint64_t left = std::accumulate(bytes.begin(), bytes.end(), uint64_t{0});
    std::vector<std::vector<size_t>> batches;
    std::vector<uint64_t> batchBytes;
    for (const auto& [group, members] : byGroup) {
        for (size_t next = 0; next < members.size();) {
            const uint64_t wanted = std::max(left / share, limits.smallestBytes);
            std::vector<size_t> batch;
            uint64_t taken = 0;
            do {
                batch.push_back(members[next]);
                taken += bytes[members[next++]];
            } while (next < members.size() && taken < wanted &&
                     batch.size() < std::max<size_t>(limits.largestCount, 1));
            left -= taken;
            batches.push_back(std::move(batch));
            batchBytes.push_back(taken);
        }
    }
    std::vector<size_t> order(batches.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return batchBytes[a] > batchBytes[b]; });
    std::vector<std::vector<size_t>> sorted;
    sorted.reserve(order.size());
    for (size_t index : order) sorted.push_back(std::move(batches[index]));
    return sorted;
}

}  // namespace kerv::engine
