#include <gtest/gtest.h>

#include <algorithm>

#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"
#include "engine/store/Project.h"
#include "engine/store/RecordLog.h"
#include "engine/store/ResultsStore.h"
#include "tests/engine/EngineTestSupport.h"

namespace kerv::engine {
namespace {

using StoresTest = testing::EngineTest;

TEST(LineRecords, AnyTextSurvivesARoundTrip) {
    std::vector<std::string> fields = {"plain", "tab\there", "line\nbreak", "back\\slash\\t", "", "cr\r"};
    std::string line = joinFields(fields);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(splitFields(line), fields);
}

Project sampleProject() {
    Project project;
    project.name = "demo";
    project.acfPath = "/cfg/a.acf";
    project.cctPaths = {"/cfg/one.cct", "/cfg/two\tcct"};
    project.activeCct[1] = "/cfg/two\tcct";
    project.workspace = "/ws";
    project.currentLanguage = 0;
    project.files = {{"/src/a.c", 0, {"A", "B=1"}, {"/inc"}}, {"/src/b.cpp", 1, {}, {}}};
    return project;
}

TEST(ProjectFileFormat, RoundTripAndDamageDetection) {
    Project project = sampleProject();
    std::string text = serialiseProject(project);
    Project read;
    ASSERT_TRUE(parseProject(text, read));
    EXPECT_EQ(serialiseProject(read), text);
    ASSERT_NE(read.files.find("/src/a.c"), nullptr);
    EXPECT_EQ(read.files.find("/src/a.c")->defines, (std::vector<std::string>{"A", "B=1"}));
    EXPECT_EQ(read.activeCct[1], "/cfg/two\tcct");
    EXPECT_TRUE(read.activeCct[0].empty());

    EXPECT_FALSE(parseProject(text.substr(0, text.size() - 4), read)) << "a file cut short is damaged";
    EXPECT_FALSE(parseProject("kerv-project\t2\nend\n", read)) << "another format version";
    std::string defineFirst = "kerv-project\t1\ndefine\tX\nend\n";
    EXPECT_FALSE(parseProject(defineFirst, read)) << "a define before any file";
    std::string badLanguage = "kerv-project\t1\nfile\t2\t/a.cs\nend\n";
    EXPECT_FALSE(parseProject(badLanguage, read));
}

TEST_F(StoresTest, ProjectIsSavedAtomicallyAndLoadedBack) {
    Project project = sampleProject();
    project.location = folder_;
    ASSERT_TRUE(makeDirectory(project.folder()));
    ASSERT_EQ(saveProject(project), kOk);
    EXPECT_EQ(listDirectory(project.folder()), std::vector<std::string>{"project.kerv"}) << "no temporary file left";
    Project loaded;
    ASSERT_EQ(loadProject(folder_, "demo", loaded), kOk);
    EXPECT_EQ(serialiseProject(loaded), serialiseProject(project));
    EXPECT_EQ(loadProject(folder_, "other", loaded), kProjectNotFound);
    writeFile("demo/project.kerv", "kerv-project\t1\nname\tdemo\n");
    EXPECT_EQ(loadProject(folder_, "demo", loaded), kProjectCorrupt);
}

std::vector<std::string> pathsOf(const Project& project) {
    std::vector<std::string> paths;
    for (const ProjectFile& file : project.files) paths.push_back(file.path);
    return paths;
}

// File changes go to the journal and come back on load; a torn or damaged
// tail is dropped and cut off by the next change; a journal left behind by a
// fold that was interrupted is recognised and ignored; the journal is folded
// before it outgrows the project file.
TEST_F(StoresTest, JournalKeepsEveryChangeAndStaysBounded) {
    Project project = sampleProject();
    project.location = folder_;
    ASSERT_TRUE(makeDirectory(project.folder()));
    ASSERT_EQ(saveProject(project), kOk);
    const std::string baseText = readWholeFile(project.projectFilePath()).value_or("");
    ASSERT_EQ(putProjectFile(project, {"/src/c.c", 0, {"X=\t1"}, {"/inc\tx"}}), kOk);
    ASSERT_EQ(removeProjectFile(project, "/src/a.c"), kOk);
    ASSERT_EQ(putProjectFile(project, {"/src/b.cpp", 1, {"Y"}, {}}), kOk);
    EXPECT_EQ(readWholeFile(project.projectFilePath()), baseText) << "changes went to the journal only";

    Project loaded;
    ASSERT_EQ(loadProject(folder_, "demo", loaded), kOk);
    EXPECT_EQ(pathsOf(loaded), (std::vector<std::string>{"/src/b.cpp", "/src/c.c"}));
    EXPECT_EQ(loaded.files.find("/src/c.c")->defines, std::vector<std::string>{"X=\t1"});
    EXPECT_EQ(loaded.files.find("/src/b.cpp")->defines, std::vector<std::string>{"Y"});
    EXPECT_EQ(serialiseProject(loaded), serialiseProject(project));

    const std::string journal = readWholeFile(project.journalPath()).value_or("");
    writeFile("demo/project.journal", journal + "remove\t/src/c.c\t0000000000000000\nput\t0\t/src/d.c");
    ASSERT_EQ(loadProject(folder_, "demo", loaded), kOk);
    EXPECT_EQ(pathsOf(loaded), (std::vector<std::string>{"/src/b.cpp", "/src/c.c"})) << "bad checksum, torn record";
    ASSERT_EQ(putProjectFile(loaded, {"/src/e.c", 0, {}, {}}), kOk);
    ASSERT_EQ(loadProject(folder_, "demo", loaded), kOk);
    EXPECT_EQ(pathsOf(loaded), (std::vector<std::string>{"/src/b.cpp", "/src/c.c", "/src/e.c"}));

    // A fold stopped after its rename leaves a journal for the previous
    // project file; replaying it would bring /src/c.c back.
    const std::string beforeFold = readWholeFile(project.journalPath()).value_or("");
    ASSERT_EQ(foldJournal(loaded), kOk);
    EXPECT_FALSE(isReadableFile(project.journalPath()));
    ASSERT_EQ(removeProjectFile(loaded, "/src/c.c"), kOk);
    ASSERT_EQ(foldJournal(loaded), kOk);
    writeFile("demo/project.journal", beforeFold);
    ASSERT_EQ(loadProject(folder_, "demo", loaded), kOk);
    EXPECT_EQ(pathsOf(loaded), (std::vector<std::string>{"/src/b.cpp", "/src/e.c"}));

    const std::string longFolder = "/src/" + std::string(1000, 'd') + "/";
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(putProjectFile(loaded, {longFolder + std::to_string(i) + ".c", 0, {}, {}}), kOk);
        ASSERT_LE(loaded.stored.journalBytes, std::max<uint64_t>(64 * 1024, loaded.stored.projectFileBytes) + 1100);
    }
    EXPECT_GT(loaded.stored.projectFileBytes, 128 * 1024) << "the journal was folded on the way";
    ASSERT_EQ(loadProject(folder_, "demo", project), kOk);
    EXPECT_EQ(project.files.size(), 302u);
}

// Results go to the log and come back with the latest entry of each file; a
// damaged tail is ignored and cut off by the next save; the log, grown past
// twice its live entries, is rewritten.
TEST_F(StoresTest, ResultsPersistAndDamageIsSkipped) {
    FileResult result{"/src/a.c", 0x1234, 0xabcdef0123456789ull, {}, {{"/inc/a\th.h", 0x77}, {"/inc/b.h", 5}}, true};
    Finding finding{"nullPointer", "error", "Null\tpointer", "long\ntext", 476, true, {}, {"p"}};
    finding.locations = {{"/src/a.c", 8, 12, "Null pointer dereference"}, {"/src/a.h", -1, 0, ""}};
    result.findings = {finding, Finding{"memleak", "error", "Memory leak", "", 0, false, {}, {}}};

    ResultsStore store;
    ASSERT_EQ(store.open(path("results")), kOk);
    ASSERT_EQ(store.save(FileResult{"/src/a.c", 9, 9, {}, {}, false}), kOk);
    ASSERT_EQ(store.save(result), kOk);
    ASSERT_EQ(store.save(FileResult{"/src/b.c", 1, 2, {}, {}, false}), kOk);
    std::string log = readWholeFile(path("results/results.log")).value_or("");
    writeFile("results/results.log",
              log + encodeRecord(serialiseFileResult(FileResult{"/src/d.c", 1, 2, {}, {}, false})).substr(0, 30));

    ResultsStore reopened;
    ASSERT_EQ(reopened.open(path("results")), kOk);
    EXPECT_EQ(reopened.all().size(), 2u);
    const FileResult* read = reopened.find("/src/a.c");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(serialiseFileResult(*read), serialiseFileResult(result));
    EXPECT_EQ(read->findings[0].locations[1].line, -1);
    EXPECT_TRUE(read->findings[0].inconclusive);
    EXPECT_TRUE(read->stopped);
    EXPECT_EQ(read->headers, result.headers);

    reopened.forget("/src/b.c");
    ASSERT_EQ(reopened.save(FileResult{"/src/c.c", 3, 4, {}, {}, false}), kOk);
    ResultsStore third;
    ASSERT_EQ(third.open(path("results")), kOk);
    EXPECT_EQ(third.find("/src/b.c"), nullptr);
    EXPECT_NE(third.find("/src/c.c"), nullptr) << "saved after the damaged tail, which was cut off";

    result.findings[0].verbose = std::string(4000, 'v');
    for (uint64_t i = 0; i < 600; ++i) {
        result.contentHash = i;
        ASSERT_EQ(third.save(result), kOk);
        ASSERT_LE(readWholeFile(path("results/results.log"))->size(), (uint64_t{1} << 20) + 5000);
    }
    ResultsStore fourth;
    ASSERT_EQ(fourth.open(path("results")), kOk);
    EXPECT_EQ(fourth.all().size(), 2u);
    EXPECT_EQ(fourth.find("/src/a.c")->contentHash, 599u);
}

std::vector<std::string> replayed(const std::string& text, uint64_t& intact) {
    std::vector<std::string> payloads;
    intact = replayRecords(text, [&](const std::string& payload) { return payloads.push_back(payload), true; });
    return payloads;
}

// The record log keeps the intact prefix: a last record torn at any byte, or
// with any bit of its length, CRC or payload flipped, is cut, and the next
// append replaces it; a file without the marker holds nothing.
TEST_F(StoresTest, RecordLogKeepsTheIntactPrefix) {
    const std::vector<std::string> payloads = {"first", std::string(300, '\0'), "last\n"};
    RecordLogWriter writer(path("log"), true);
    ASSERT_TRUE(writer.append({payloads[0], payloads[1]}));
    const uint64_t beforeLast = writer.validBytes();
    ASSERT_TRUE(writer.append({payloads[2]}));
    const std::string whole = readWholeFile(path("log")).value_or("");
    uint64_t intact = 0;
    ASSERT_EQ(replayed(whole, intact), payloads);
    ASSERT_EQ(intact, whole.size());
    for (uint64_t cut = beforeLast; cut < whole.size(); ++cut) {
        ASSERT_EQ(replayed(whole.substr(0, cut), intact).size(), 2u) << "torn at " << cut;
        ASSERT_EQ(intact, beforeLast);
    }
    for (uint64_t bit = beforeLast * 8; bit < whole.size() * 8; ++bit) {
        std::string flipped = whole;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << (bit % 8)));
        ASSERT_EQ(replayed(flipped, intact).size(), 2u) << "bit " << bit;
    }
    std::string unmarked = whole;
    unmarked[0] = 'K';
    EXPECT_TRUE(replayed(unmarked, intact).empty()) << "a file without the marker is damaged from its first byte";
    EXPECT_EQ(intact, 0u);
    writeFile("log", whole.substr(0, whole.size() - 2));
    RecordLogWriter again(path("log"), false, beforeLast);
    ASSERT_TRUE(again.append({"again"}));
    EXPECT_EQ(replayed(readWholeFile(path("log")).value_or(""), intact),
              (std::vector<std::string>{payloads[0], payloads[1], "again"}));
}

}  // namespace
}  // namespace kerv::engine
