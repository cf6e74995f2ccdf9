// Splits the files to analyse into cppcheck runs: files analysed with the
// same options share a run (cppcheck starts once for all of them and its
// report names each finding's file), and the runs shrink towards the end of
// the list so that every job still has work while files remain. File sizes
// stand in for the time a file takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kerv::engine {

struct BatchLimits {
    size_t largestCount = 100;                     // files in one run at most
    uint64_t smallestBytes = uint64_t{16} * 1024;  // a run takes files until it holds this much, so small files
                                                   // do not each pay for a cppcheck start
};

// `groups[i]`: the group of file i, the same for files analysed with the
// same options (everything but the file itself); `bytes[i]`: its size.
// Returns the indexes of each run, largest runs first.
std::vector<std::vector<size_t>> formBatches(const std::vector<size_t>& groups, const std::vector<uint64_t>& bytes,
                                             unsigned jobs, const BatchLimits& limits = {});

}  // namespace kerv::engine
