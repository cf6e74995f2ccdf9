// Splits the files to analyse into cppcheck runs: files analysed with the
// same options share a run (cppcheck starts once for all of them and its
// report names each finding's file), and the runs shrink towards the end of
// the list so that every job still has work while files remain.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kerv::engine {

// `options[i]`: everything file i is analysed with but the file itself.
// Returns the indexes of each run, largest runs first; none holds more than
// `largest` files.
std::vector<std::vector<size_t>> formBatches(const std::vector<const std::vector<std::string>*>& options, unsigned jobs,
                                             size_t largest = 50);

}  // namespace kerv::engine
