#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "engine/Session.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/records/DiagnosticRecords.h"
#include "tests/engine/EngineTestSupport.h"

namespace kerv::engine {
namespace {

using Key = std::tuple<std::string, std::string, int>;  // file name, message id, line

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// A project of tests/engine/suppressions/forms.cpp, whose comments suppress
// some of its findings and those of the header it includes.
class InlineSuppressions : public testing::EngineTest {
protected:
    void SetUp() override {
        testing::EngineTest::SetUp();
        makeDirectory(path("src"));
        for (const char* name : {"forms.cpp", "forms.h"})
            writeFile(std::string("src/") + name,
                      readWholeFile(std::string(KERV_SUPPRESSIONS_DIR) + "/" + name).value());
        writeAcf("");
        ASSERT_EQ(createProject(folder_.c_str(), "inline", path("analysis.acf").c_str(), "", ""), kOk);
        ASSERT_EQ(addSource(source(), 1), kOk);
        aggregate(nullptr);
        ASSERT_EQ(hasUptoDateResults(source().c_str()), 1);
    }

    std::string source() const { return path("src/forms.cpp"); }

    void writeAcf(const std::string& extra) const {
        writeFile("analysis.acf", "checks = warning, style, performance, portability\ncpp-standard = c++17\n" + extra);
    }

    // The engine's findings of forms.cpp by state.
    std::map<int, std::set<Key>> statesOf(int mask = 0) {
        VQDiagnosticArray_C* array = nullptr;
        EXPECT_EQ(getDiagnostics(source().c_str(), nullptr, nullptr, mask, &array), kOk);
        std::map<int, std::set<Key>> byState;
        for (uint32_t i = 0; array && i < array->count; ++i) {
            const LocationStruct* at = array->diagnostics[i]->locationInformation->locations[0];
            byState[array->diagnostics[i]->suppressionState].insert(
                {nameOf(at->file), array->diagnostics[i]->message->uniqueMessageID, at->line});
        }
        EXPECT_EQ(freeDiagnostics(&array), kOk);
        return byState;
    }

    // What cppcheck itself reports for forms.cpp, with or without --inline-suppr.
    std::set<Key> cppcheckFindings(bool inlineSuppr) const {
        std::string report = path(inlineSuppr ? "with.xml" : "without.xml");
        std::vector<std::string> command = {analyzerInfo(session()).path,
                                            "--xml",
                                            "--xml-version=2",
                                            "--enable=warning,style,performance,portability",
                                            "--language=c++",
                                            "--std=c++17",
                                            "--output-file=" + report,
                                            source()};
        if (inlineSuppr) command.insert(command.begin() + 1, "--inline-suppr");
        std::string ignored;
        std::vector<Finding> findings;
        EXPECT_TRUE(captureOutput(command, ignored));
        EXPECT_TRUE(readReport(readWholeFile(report).value_or(""), findings));
        std::set<Key> keys;
        for (const Finding& finding : findings)
            keys.insert({nameOf(finding.locations.at(0).file), finding.id, finding.locations.at(0).line});
        return keys;
    }
};

TEST_F(InlineSuppressions, MarksWhatCppcheckWouldDropAndTheSettingTurnsThatOff) {
    std::set<Key> all = cppcheckFindings(false);
    std::set<Key> kept = cppcheckFindings(true);
    std::set<Key> dropped;
    for (const Key& key : all)
        if (!kept.count(key)) dropped.insert(key);
    ASSERT_GE(dropped.size(), 10u) << "the fixture suppresses findings in many forms";
    std::string header = readWholeFile(path("src/forms.h")).value();
    const size_t comment = header.find("cppcheck-suppress");
    const Key inHeader{"forms.h", "nullPointer",
                       2 + static_cast<int>(std::count(header.begin(), header.begin() + comment, '\n'))};
    ASSERT_TRUE(dropped.count(inHeader)) << "a comment in the header counts for the line below it";

    auto states = statesOf();
    EXPECT_EQ(states[kSuppressedInSource], dropped);
    std::set<Key> active;
    for (const Key& key : kept)
        if (all.count(key)) active.insert(key);  // cppcheck adds a finding for each malformed comment
    EXPECT_EQ(states[kActive], active);
    EXPECT_EQ(states.size(), 2u);
    EXPECT_EQ(statesOf(1 << kSuppressedInSource)[kSuppressedInSource], dropped);
    EXPECT_EQ(statesOf(1 << kSuppressedInSource).count(kActive), 0u);

    VQTrees_C* trees = nullptr;
    ASSERT_EQ(getTrees(&trees, false, 0, nullptr), kOk);
    EXPECT_EQ(trees->fileTree->total, static_cast<int>(all.size()));
    EXPECT_EQ(trees->fileTree->active, static_cast<int>(active.size()));
    EXPECT_EQ(freeTrees(&trees), kOk);

    writeAcf("inline-suppressions = no\n");
    states = statesOf();
    EXPECT_EQ(states[kActive], all) << "switched off: every finding counts";
    EXPECT_EQ(hasUptoDateResults(source().c_str()), 1) << "the setting needs no new analysis";

    writeAcf("option = --inline-suppr\n");
    EXPECT_EQ(statesOf()[kSuppressedInSource], dropped) << "cppcheck's own option means the same";
    header.replace(comment, 17, "no suppression  ");
    writeFile("src/forms.h", header);
    EXPECT_TRUE(statesOf()[kActive].count(inHeader)) << "a changed file is read again";
}

}  // namespace
}  // namespace kerv::engine
