#include <gtest/gtest.h>

#include <algorithm>

#include "engine/analysis/Batches.h"
#include "engine/analysis/Launcher.h"

namespace kerv::engine {
namespace {

TEST(Batches, FilesWithTheSameOptionsShareRunsThatShrinkTowardsTheEnd) {
    std::vector<size_t> groups;  // two sets of options, interleaved
    for (int i = 0; i < 300; ++i) groups.push_back(i % 3 == 0 ? 7 : 2);
    const BatchLimits limits{20, 1000};
    for (uint64_t size : {uint64_t{10}, uint64_t{100000}}) {
        SCOPED_TRACE(size);
        const std::vector<uint64_t> bytes(groups.size(), size);
        auto batches = formBatches(groups, bytes, 2, limits);
        std::vector<int> seen(groups.size(), 0);
        for (const auto& batch : batches) {
            ASSERT_FALSE(batch.empty());
            ASSERT_LE(batch.size(), 20u);
            for (size_t index : batch) {
                ++seen[index];
                EXPECT_EQ(groups[index], groups[batch.front()]) << "one run, one set of options";
            }
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 300) << "every file in exactly one run";
        EXPECT_TRUE(std::is_sorted(batches.begin(), batches.end(),
                                   [](const auto& a, const auto& b) { return a.size() > b.size(); }));
        EXPECT_EQ(batches.front().size(), 20u);
        if (size == 10) {
            EXPECT_EQ(batches.size(), 15u) << "small files fill runs up to the count limit";
        } else {
            EXPECT_LT(batches.size(), 60u);
            EXPECT_EQ(batches[batches.size() - 4].size(), 1u) << "single files at the end keep both jobs busy";
        }
    }
    EXPECT_TRUE(formBatches({}, {}, 2).empty());
}

// A launched run is large enough that the launcher's step is under 5% of
// its time, as long as every job still gets a run; its report is told apart from the launcher's words around it.
TEST(Batches, LaunchedRunsOutweighTheLaunchersStepAndKeepItsWordsApart) {
    for (double step : {0.001, 0.1, 2.0}) {
        const Launcher launcher({"srun"}, step, "cppcheck", "2.10");
        BatchLimits limits = launcher.limits(5e-6, uint64_t{1} << 40, 8);
        double analysis = static_cast<double>(limits.smallestBytes) * 5e-6;
        EXPECT_LT(step / (step + analysis), 0.0501) << step;
        EXPECT_GE(limits.smallestBytes, BatchLimits{}.smallestBytes) << step;
        EXPECT_GT(limits.largestCount, BatchLimits{}.largestCount) << "the size, not the count, bounds a run";
        EXPECT_LE(launcher.limits(5e-6, 1 << 20, 8).smallestBytes, uint64_t{1 << 17}) << "every job busy comes first";
    }
    const std::string report = "<?xml version=\"1.0\"?>\n<results version=\"2\"><errors/></results>\n";
    LaunchedOutput whole = splitLaunchedOutput("srun: warning: slow\n" + report + "srun: done\n");
    EXPECT_EQ(whole.report, report);
    EXPECT_EQ(whole.messages, "srun: warning: slow\nsrun: done");
    LaunchedOutput cut = splitLaunchedOutput(report.substr(0, 40) + "\nslurmstepd: error: *** STEP CANCELLED ***\n");
    EXPECT_EQ(cut.report, "") << "a report cut short is no report";
    EXPECT_NE(cut.messages.find("STEP CANCELLED"), std::string::npos);
}

}  // namespace
}  // namespace kerv::engine
