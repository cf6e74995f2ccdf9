#include "engine/analysis/Batches.h"

#include <algorithm>
#include <map>

namespace kerv::engine {

std::vector<std::vector<size_t>> formBatches(const std::vector<const std::vector<std::string>*>& options, unsigned jobs,
                                             size_t largest) {
    std::map<std::vector<std::string>, std::vector<size_t>> groups;
    for (size_t i = 0; i < options.size(); ++i) groups[*options[i]].push_back(i);

    // Each run takes a quarter of an even share of the files still left, so
    // the last runs are single files that end close together.
    const size_t share = 4 * std::max(jobs, 1u);
    size_t left = options.size();
    std::vector<std::vector<size_t>> batches;
    for (const auto& [key, members] : groups) {
        for (size_t taken = 0; taken < members.size();) {
            size_t size = std::clamp<size_t>((left + share - 1) / share, 1, std::max<size_t>(largest, 1));
            size = std::min(size, members.size() - taken);
            batches.emplace_back(members.begin() + static_cast<long>(taken),
                                 members.begin() + static_cast<long>(taken + size));
            taken += size;
            left -= size;
        }
    }
    std::stable_sort(batches.begin(), batches.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return batches;
}

}  // namespace kerv::engine
