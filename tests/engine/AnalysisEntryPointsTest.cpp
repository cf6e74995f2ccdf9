#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/analysis/Analysis.h"
#include "engine/records/DiagnosticRecords.h"
#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/RecordArena.h"

namespace kerv::engine {
namespace {

std::vector<unsigned> g_progress;
void recordProgress(unsigned value) {
    g_progress.push_back(value);
}

struct Seen {
    std::string id;
    int line;
    int state;
};

// Runs cppcheck on a copy of examples/src with the example configuration.
class AnalysisEntryPoints : public testing::EngineTest {
protected:
    void SetUp() override {
        testing::EngineTest::SetUp();
        sources_ = copyExampleSources();
        const std::string config = testing::examplesDir() + "/config/";
        ASSERT_EQ(createProject(folder_.c_str(), "demo", (config + "analysis.acf").c_str(),
                                (config + "rules.rcf").c_str(), (config + "compiler.cct").c_str()),
                  kOk);
        for (const std::string& source : sources_) {
            if (source.find(".h") != std::string::npos) continue;
            ASSERT_EQ(addSource(source, source.find(".cpp") != std::string::npos ? 1 : 0), kOk);
        }
    }

    std::string source(const std::string& name) { return path("src/" + name); }

    std::vector<Seen> diagnosticsOf(const std::string& file, VQMessageArray_C* messages = nullptr,
                                    VQRuleArray_C* rules = nullptr, int mask = 0) {
        VQDiagnosticArray_C* array = nullptr;
        int status = getDiagnostics(file.c_str(), messages, rules, mask, &array);
        std::vector<Seen> seen;
        EXPECT_EQ(status, kOk);
        for (uint32_t i = 0; array && i < array->count; ++i) {
            const DiagnosticStruct* d = array->diagnostics[i];
            seen.push_back(
                {d->message->uniqueMessageID, d->locationInformation->locations[0]->line, d->suppressionState});
        }
        EXPECT_EQ(freeDiagnostics(&array), kOk);
        return seen;
    }

    std::vector<std::string> sources_;
};

bool contains(const std::vector<Seen>& seen, const std::string& id, int line, int state = 0) {
    return std::any_of(seen.begin(), seen.end(),
                       [&](const Seen& s) { return s.id == id && s.line == line && s.state == state; });
}

TEST_F(AnalysisEntryPoints, AggregateFindsTheKnownFaultsAndReportsProgress) {
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0);
    VQDiagnosticArray_C* none = nullptr;
    EXPECT_EQ(getDiagnostics(source("main.c").c_str(), nullptr, nullptr, 0, &none), kNoResults);

    g_progress.clear();
    aggregate(recordProgress);
    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.front(), 0u);
    EXPECT_EQ(g_progress.back(), 100u);
    EXPECT_TRUE(std::is_sorted(g_progress.begin(), g_progress.end()));

    auto main = diagnosticsOf(source("main.c"));
    EXPECT_TRUE(contains(main, "nullPointer", 8));
    EXPECT_TRUE(contains(main, "unreadVariable", 13, kSwitchedOff)) << "switched off by rules.rcf, still listed";
    auto records = diagnosticsOf(source("records.c"));
    EXPECT_TRUE(contains(records, "bufferAccessOutOfBounds", 16));
    EXPECT_TRUE(contains(records, "memleak", 25));
    EXPECT_TRUE(contains(records, "legacyUninitvar", 9));
    auto shapes = diagnosticsOf(source("shapes.cpp"));
    EXPECT_TRUE(contains(shapes, "arrayIndexOutOfBounds", 23));
    EXPECT_TRUE(contains(shapes, "noExplicitConstructor", 6));
    EXPECT_TRUE(contains(shapes, "postfixOperator", 15));

    for (const auto& file : {"main.c", "records.c", "shapes.cpp"}) {
        EXPECT_EQ(hasResults(source(file).c_str()), 1) << file;
        EXPECT_EQ(hasUptoDateResults(source(file).c_str()), 1) << file;
    }
    EXPECT_EQ(hasResults(source("records.h").c_str()), 0) << "not a project file";
}

TEST_F(AnalysisEntryPoints, DiagnosticRecordsCarryMessageLocationsAndNotes) {
    aggregate(nullptr);
    VQDiagnosticArray_C* array = nullptr;
    ASSERT_EQ(getDiagnostics(source("main.c").c_str(), nullptr, nullptr, 0, &array), kOk);
    const DiagnosticStruct* nullPointer = nullptr;
    for (uint32_t i = 0; i < array->count; ++i)
        if (std::string(array->diagnostics[i]->message->uniqueMessageID) == "nullPointer")
            nullPointer = array->diagnostics[i];
    ASSERT_NE(nullPointer, nullptr);
    const VQMessage_C* message = nullPointer->message;
    EXPECT_STREQ(message->producer, "cppcheck");
    EXPECT_EQ(message->messageLevel, 2);
    EXPECT_STREQ(message->messageNumber, "476");
    EXPECT_STREQ(message->helpFileLocation, "https://cwe.mitre.org/data/definitions/476.html");
    ASSERT_GE(message->references->count, 1u);
    EXPECT_STREQ(message->references->refs[0], "CWE-476");
    EXPECT_NE(std::string(message->messageText).find("chosen"), std::string::npos);
    ASSERT_EQ(nullPointer->messageParameters->count, 1u);
    EXPECT_STREQ(nullPointer->messageParameters->parameters[0], "chosen");
    ASSERT_EQ(nullPointer->locationInformation->count, 2u);
    EXPECT_EQ(nullPointer->locationInformation->locations[0]->file, source("main.c"));
    EXPECT_EQ(nullPointer->locationInformation->locations[0]->column, 12);
    EXPECT_EQ(nullPointer->hasSubDiagnostics, 1);
    ASSERT_EQ(nullPointer->subDiagnostics->count, 1u) << "the assignment note of the second location";
    const DiagnosticStruct* note = nullPointer->subDiagnostics->diagnostics[0];
    EXPECT_EQ(note->locationInformation->locations[0]->line, 7);
    EXPECT_NE(std::string(note->message->messageText).find("chosen=NULL"), std::string::npos);
    EXPECT_EQ(note->subDiagnostics->count, 0u);
    EXPECT_EQ(nullPointer->multiHomed, 0);
    EXPECT_EQ(freeDiagnostics(&array), kOk);
}

TEST_F(AnalysisEntryPoints, MessageRuleAndMaskFiltersAreHonoured) {
    aggregate(nullptr);
    RecordArena arena;
    auto* messages = arena.List<VQMessageArray_C>({arena.Message("nullPointer", "", 2, "", "", "")});
    auto byMessage = diagnosticsOf(source("main.c"), messages);
    ASSERT_EQ(byMessage.size(), 1u);
    EXPECT_EQ(byMessage[0].id, "nullPointer");

    auto* rules = arena.List<VQRuleArray_C>({arena.Rule("unreadVariable", 1, "", "", "", "")});
    auto byRule = diagnosticsOf(source("main.c"), nullptr, rules);
    ASSERT_EQ(byRule.size(), 1u);
    EXPECT_EQ(byRule[0].id, "unreadVariable");
    EXPECT_TRUE(diagnosticsOf(source("main.c"), messages, rules).empty()) << "both lists must match";

    auto activeOnly = diagnosticsOf(source("main.c"), nullptr, nullptr, 1 << kActive);
    auto offOnly = diagnosticsOf(source("main.c"), nullptr, nullptr, 1 << kSwitchedOff);
    EXPECT_TRUE(contains(activeOnly, "nullPointer", 8));
    EXPECT_FALSE(contains(activeOnly, "unreadVariable", 13, kSwitchedOff));
    ASSERT_EQ(offOnly.size(), 1u);
    EXPECT_EQ(offOnly[0].id, "unreadVariable");
    messages->count = 0;
    EXPECT_EQ(diagnosticsOf(source("main.c"), messages).size(), activeOnly.size() + offOnly.size())
        << "an empty list restricts nothing";
}

TEST_F(AnalysisEntryPoints, ResultsPersistAndGoStaleWhenSourceOrConfigurationChanges) {
    aggregate(nullptr);
    shutdownApp();
    ASSERT_EQ(initResults("any key", folder_.c_str(), "demo"), kOk);
    EXPECT_TRUE(contains(diagnosticsOf(source("main.c")), "nullPointer", 8)) << "results read back from disk";
    EXPECT_EQ(hasUptoDateResults(source("main.c").c_str()), 1);

    writeFile("src/main.c", "int main(void) { int* p = 0; return *p; }\n");
    EXPECT_EQ(hasResults(source("main.c").c_str()), 1);
    EXPECT_EQ(hasUptoDateResults(source("main.c").c_str()), 0) << "the source changed";
    EXPECT_EQ(hasUptoDateResults(source("records.c").c_str()), 1);
    std::vector<std::string> defines = {"EXTRA=1"};
    auto pointers = testing::textPointers(defines);
    ASSERT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, source("records.c").c_str(), 1, pointers.data(), 0, nullptr), kOk);
    EXPECT_EQ(hasUptoDateResults(source("records.c").c_str()), 0) << "the file's defines changed";

    g_progress.clear();
    aggregate(recordProgress);
    EXPECT_EQ(g_progress, (std::vector<unsigned>{0, 50, 100})) << "only the two stale files are analysed";
    auto main = diagnosticsOf(source("main.c"));
    ASSERT_EQ(main.size(), 1u);
    EXPECT_EQ(main[0].line, 1);
    EXPECT_EQ(hasUptoDateResults(source("shapes.cpp").c_str()), 1);

    ASSERT_EQ(removeFile(source("main.c").c_str()), kOk);
    ASSERT_EQ(addSource(source("main.c")), kOk);
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0) << "removing a file drops its results";
}

// The engine's log follows setLogLevel: nothing at 0 (the default), the
// failures at 1, with the analyser's path that was tried.
TEST_F(AnalysisEntryPoints, MissingAnalyserLeavesNoResultsAndTheProjectIntact) {
    ::setenv("KERV_CPPCHECK", path("no-such-cppcheck").c_str(), 1);
    g_progress.clear();
    ::testing::internal::CaptureStderr();
    aggregate(recordProgress);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "level 0 writes nothing";
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0);
    setLogLevel(VQLogLevel_C{1});
    ::testing::internal::CaptureStderr();
    aggregate(recordProgress);
    const std::string failures = ::testing::internal::GetCapturedStderr();
    setLogLevel(VQLogLevel_C{0});
    EXPECT_NE(failures.find("cppcheck cannot be run (path '" + path("no-such-cppcheck") + "'"), std::string::npos)
        << failures;
    EXPECT_NE(failures.find("libKERV: aggregate: status -14"), std::string::npos) << failures;
    VQStrings_C* tools = reinterpret_cast<VQStrings_C*>(&tools);
    EXPECT_EQ(getReportTools(&tools), 0);
    EXPECT_EQ(tools, nullptr);
    EXPECT_NE(std::string(getComponents()).find("cppcheck not found"), std::string::npos);
    ::unsetenv("KERV_CPPCHECK");
    ASSERT_EQ(getReportTools(&tools), 1);
    EXPECT_STREQ(tools->strings[0], "cppcheck");
    freeStrings(&tools);

    writeFile("broken.acf", "checks = everything\n");
    ASSERT_EQ(createProject(folder_.c_str(), "other", "", "", ""), kOk);
    Project project;
    ASSERT_EQ(loadProject(folder_, "other", project), kOk);
    project.acfPath = path("broken.acf");
    ASSERT_EQ(saveProject(project), kOk);
    ASSERT_EQ(initProjectMngr("", folder_.c_str(), "other"), kOk);
    ASSERT_EQ(addSource(source("main.c")), kOk);
    aggregate(nullptr);
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0) << "a bad configuration stops the analysis";
}

TEST_F(AnalysisEntryPoints, ProjectsWithoutTheirOwnFilesUseTheUsersDefaults) {
    makeDirectory(path("config"));
    makeDirectory(path("config/kerv"));
    writeFile("config/kerv/default.rcf", "off nullPointer\n");
    writeFile("config/kerv/default.acf", "checks = warning\n");
    ASSERT_EQ(createProject(folder_.c_str(), "plain", "", "", ""), kOk);
    ASSERT_EQ(addSource(source("main.c")), kOk);
    aggregate(nullptr);
    auto main = diagnosticsOf(source("main.c"));
    EXPECT_TRUE(contains(main, "nullPointer", 8, kSwitchedOff)) << "default.rcf applies";
    EXPECT_FALSE(contains(main, "unreadVariable", 13, kActive)) << "default.acf leaves style checks out";
    writeFile("config/kerv/default.acf", "checks = warning, style\n");
    EXPECT_EQ(hasUptoDateResults(source("main.c").c_str()), 0) << "a changed default makes results stale";

    // The rule configuration is read again when its file's time or size
    // changes, or after clearCachedObjects.
    const FileStamp stamp = fileStamp(path("config/kerv/default.rcf"));
    writeFileKeepingItsStamp("config/kerv/default.rcf", "off nullPointeX\n", stamp);
    EXPECT_TRUE(contains(diagnosticsOf(source("main.c")), "nullPointer", 8, kSwitchedOff)) << "not read again";
    clearCachedObjects();
    EXPECT_TRUE(contains(diagnosticsOf(source("main.c")), "nullPointer", 8, kActive));
    writeFile("config/kerv/default.rcf", "off nullPointer\n");
    EXPECT_TRUE(contains(diagnosticsOf(source("main.c")), "nullPointer", 8, kSwitchedOff));
}

// Files analysed in one cppcheck run each keep their own findings; one in a
// header stays with the file that included it.
TEST_F(AnalysisEntryPoints, FindingsInHeadersPointThereAndListTheHeader) {
    writeFile("src/bad.h", "static int bad(void) {\n    int* p = 0;\n    return *p;\n}\n");
    writeFile("src/user.c", "#include \"bad.h\"\nint use(void) { return bad(); }\n");
    ASSERT_EQ(addSource(source("user.c")), kOk);
    for (int i = 0; i < 8; ++i) {
        writeFile("src/gen" + std::to_string(i) + ".c",
                  "int g" + std::to_string(i) + "(void) {" + std::string(i, '\n') + " int* q = 0; return *q; }\n");
        ASSERT_EQ(addSource(source("gen" + std::to_string(i) + ".c")), kOk);
    }
    ::setenv("KERV_JOBS", "1", 1);  // runs of several files
    aggregate(nullptr);
    ::unsetenv("KERV_JOBS");
    for (int i = 0; i < 8; ++i) {
        auto found = diagnosticsOf(source("gen" + std::to_string(i) + ".c"));
        ASSERT_EQ(found.size(), 1u) << i;
        EXPECT_TRUE(contains(found, "nullPointer", i + 1)) << i;
    }
    EXPECT_TRUE(contains(diagnosticsOf(source("records.c")), "memleak", 25));
    VQDiagnosticArray_C* array = nullptr;
    ASSERT_EQ(getDiagnostics(source("user.c").c_str(), nullptr, nullptr, 0, &array), kOk);
    ASSERT_EQ(array->count, 1u);
    EXPECT_EQ(array->diagnostics[0]->locationInformation->locations[0]->file, source("bad.h"));
    EXPECT_EQ(array->diagnostics[0]->locationInformation->locations[0]->line, 3);
    freeDiagnostics(&array);

    VQFilePathArray_C* included = nullptr;
    ASSERT_EQ(getIncludedFiles(&included), kOk);
    ASSERT_EQ(included->count, 2u) << "the headers read, project files not";
    EXPECT_EQ(included->paths[0], source("bad.h"));
    EXPECT_EQ(included->paths[1], source("records.h")) << "read, though no finding points there";
    EXPECT_EQ(freeFilePaths(&included), kOk);
    ASSERT_EQ(getIncludedFiles(&included), kOk) << "a kept list released by the caller is not released again";
}

// A file's include list may name a registered compiler configuration: its
// standard and definitions apply (the file's own definitions win) and it is
// no include folder. A header's #error that stops two files of one run stops
// each of them, found by analysing them again one by one: they keep that
// finding only, are never up to date, and are not analysed again while
// nothing changed. A header finding that several files report is owned by
// one. A header appearing earlier in the search order makes its includers
// stale, and only them.
TEST_F(AnalysisEntryPoints, BuildCompilersHeadersAndPreprocessorStops) {
    ASSERT_TRUE(makeDirectory(path("inc")));
    writeFile("inc/config.h",
              "#ifndef CONFIG_OK\n#error not configured\n#endif\nstatic int cfg(void) { int a[2]; "
              "return a[2]; }\n");
    writeFile("build.cct", "[C]\nstandard = c89\ndefine = CONFIG_OK=1\ndefine = __GNUC__=12\n");
    ASSERT_EQ(addCCT(path("build.cct").c_str()), kOk);
    for (const std::string name : {"s1", "s2", "b1", "b2"}) {
        writeFile("src/" + name + ".c", "#include \"config.h\"\nint " + name + "(void) { return cfg(); }\n");
        const bool built = name[0] == 'b';
        std::vector<std::string> defines = {built ? "__GNUC__=3" : "STRICT"};
        std::vector<std::string> includes = {path("inc")};
        if (built) includes.push_back(path("build.cct"));
        ASSERT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, source(name + ".c").c_str(), 1, testing::textPointers(defines).data(),
                          includes.size(), testing::textPointers(includes).data()),
                  kOk);
    }
    AnalysisPlanner planner;
    ASSERT_EQ(planner.load(*session().project, "cppcheck", "2.10"), kOk);
    const std::vector<std::string> arguments = planner.plan(*session().project->findFile(source("b1.c"))).arguments();
    auto has = [&](const std::string& argument) {
        return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
    };
    EXPECT_TRUE(has("--std=c89") && has("-DCONFIG_OK=1") && has("-D__GNUC__=3") && has("-I" + path("inc")));
    EXPECT_FALSE(has("-D__GNUC__=12") || has("-I" + path("build.cct")));

    ::setenv("KERV_JOBS", "1", 1);
    aggregate(nullptr);
    for (const std::string name : {"s1.c", "s2.c"}) {
        EXPECT_EQ(hasResults(source(name).c_str()), 1) << name;
        EXPECT_EQ(hasUptoDateResults(source(name).c_str()), 0) << name;
        auto found = diagnosticsOf(source(name));
        ASSERT_EQ(found.size(), 1u) << name;
        EXPECT_TRUE(contains(found, "preprocessorErrorDirective", 2)) << name;
    }
    EXPECT_EQ(hasUptoDateResults(source("b2.c").c_str()), 1);
    EXPECT_TRUE(contains(diagnosticsOf(source("b1.c")), "arrayIndexOutOfBounds", 4));
    EXPECT_TRUE(diagnosticsOf(source("b2.c")).empty()) << "b1.c owns the header's finding";
    auto inHeader = diagnosticsOf(path("inc/config.h"));
    EXPECT_EQ(inHeader.size(), diagnosticsOf(source("b1.c")).size() + 1) << "b1.c's findings and the #error once";
    EXPECT_TRUE(contains(inHeader, "arrayIndexOutOfBounds", 4) && contains(inHeader, "preprocessorErrorDirective", 2));

    g_progress.clear();
    aggregate(recordProgress);
    EXPECT_EQ(g_progress.size(), 2u) << "nothing analysed again: 0 and 100";
    writeFile("src/config.h", "#define CONFIG_OK 1\n");  // found beside the includers before inc/
    EXPECT_EQ(hasUptoDateResults(source("b1.c").c_str()), 0);
    EXPECT_EQ(hasUptoDateResults(source("main.c").c_str()), 1);
    g_progress.clear();
    aggregate(recordProgress);
    ::unsetenv("KERV_JOBS");
    EXPECT_EQ(g_progress.size(), 5u) << "0 and one value for each of the 4 includers";
    for (const std::string name : {"s1.c", "s2.c", "b1.c", "b2.c"}) {
        EXPECT_EQ(hasUptoDateResults(source(name).c_str()), 1) << name;
        EXPECT_TRUE(diagnosticsOf(source(name)).empty()) << name;
    }
}

// A build compiler is read once a session: passes share the command line it
// makes until its file changes. Rewritten, it makes its files stale, and its
// new macros reach the command line and the header search (a computed
// include through one of its macros, which a file's own definition wins over).
TEST_F(AnalysisEntryPoints, BuildCompilerIsReadAgainOnlyWhenItsFileChanges) {
    ASSERT_TRUE(makeDirectory(path("inc")));
    writeFile("inc/a.h", "int a;\n");
    writeFile("inc/b.h", "int b;\n");
    writeFile("build.cct", "[C]\ndefine = HEADER=\"a.h\"\n");
    ASSERT_EQ(addCCT(path("build.cct").c_str()), kOk);
    for (const std::string name : {"own.c", "built.c"}) {
        writeFile("src/" + name, "#include HEADER\nint f(void) { return 0; }\n");
        std::vector<std::string> defines = {name == "own.c" ? "HEADER=\"b.h\"" : ""};
        std::vector<std::string> includes = {path("inc"), path("build.cct")};
        ASSERT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, source(name).c_str(), 1, testing::textPointers(defines).data(), 2,
                          testing::textPointers(includes).data()),
                  kOk);
    }
    Session& s = session();
    auto planned = [&] {  // the shared part of built.c's command line, and the whole line
        AnalysisPlanner planner(s.headerCache, s.commandLines);
        EXPECT_EQ(planner.load(*s.project, "cppcheck", "2.10"), kOk);
        FileAnalysisPlan plan = planner.plan(*s.project->findFile(source("built.c")));
        return std::pair{plan.command.shared, plan.arguments()};
    };
    const auto first = planned().first;
    EXPECT_EQ(planned().first, first) << "the same file: not read again";
    aggregate(nullptr);
    auto headersOf = [&](const std::string& name) {
        std::vector<std::string> paths;
        for (const HeaderStamp& header : s.results->find(source(name))->headers) paths.push_back(header.path);
        return paths;
    };
    EXPECT_EQ(headersOf("built.c"), std::vector<std::string>{path("inc/a.h")});
    EXPECT_EQ(headersOf("own.c"), std::vector<std::string>{path("inc/b.h")});
    EXPECT_EQ(hasUptoDateResults(source("built.c").c_str()), 1);

    writeFile("build.cct", "[C]\ndefine = HEADER=\"b.h\"\ndefine = EXTRA\n");
    EXPECT_EQ(hasUptoDateResults(source("built.c").c_str()), 0);
    EXPECT_EQ(hasUptoDateResults(source("own.c").c_str()), 0);
    EXPECT_EQ(hasUptoDateResults(source("main.c").c_str()), 1) << "a file that names no build compiler";
    EXPECT_NE(planned().first, first);
    aggregate(nullptr);
    EXPECT_EQ(hasUptoDateResults(source("built.c").c_str()), 1);
    EXPECT_EQ(headersOf("built.c"), std::vector<std::string>{path("inc/b.h")});
    const std::vector<std::string> arguments = planned().second;
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "-DEXTRA"), arguments.end());
}

// An analyser that hangs, fails or writes no report costs that file its
// results, never the aggregation, the project or the files analysed with it;
// one that is slow but moves from file to file is left to finish.
TEST_F(AnalysisEntryPoints, HungFailingOrGarbledAnalyserLeavesNoResults) {
    writeFile("fake-cppcheck",
              "#!/bin/sh\n"
              "case \"$1\" in\n"
              "  --version) echo 'Cppcheck 0.1'; exit 0;;\n"
              "  --errorlist) echo '<results version=\"2\"><errors/></results>'; exit 0;;\n"
              "esac\n"
              "for a in \"$@\"; do case \"$a\" in --output-file=*) out=\"${a#--output-file=}\";; esac; done\n"
              "case \"$KERV_FAKE_MODE\" in\n"
              "  hang) exec sleep 60;;\n"
              "  garbage) echo 'no report' > \"$out\";;\n"
              "  fail) exit 3;;\n"
              "  slow) echo run >> \"$KERV_FAKE_RUNS\"\n"
              "        for a in \"$@\"; do case \"$a\" in -*) ;; *) echo \"Checking $a\"; sleep 0.7;; esac; done\n"
              "        echo '<results version=\"2\"><errors/></results>' > \"$out\";;\n"
              "  one-bad) case \"$*\" in *main.c*) exit 3;; esac\n"
              "           echo '<results version=\"2\"><errors/></results>' > \"$out\";;\n"
              "esac\n");
    ASSERT_EQ(::chmod(path("fake-cppcheck").c_str(), 0755), 0);
    ::setenv("KERV_CPPCHECK", path("fake-cppcheck").c_str(), 1);
    ::setenv("KERV_TIMEOUT", "1", 1);
    for (const char* mode : {"hang", "garbage", "fail"}) {
        ::setenv("KERV_FAKE_MODE", mode, 1);
        g_progress.clear();
        aggregate(recordProgress);
        EXPECT_EQ(g_progress.back(), 100u) << mode;
        EXPECT_EQ(hasResults(source("main.c").c_str()), 0) << mode;
    }
    EXPECT_NE(std::string(getComponents()).find("cppcheck 0.1"), std::string::npos);
    ::setenv("KERV_FAKE_MODE", "slow", 1);
    ::setenv("KERV_FAKE_RUNS", path("runs").c_str(), 1);
    aggregate(nullptr);
    EXPECT_EQ(hasResults(source("records.c").c_str()), 1);
    EXPECT_EQ(readWholeFile(path("runs")), "run\nrun\n")
        << "C and C++, the C run longer than the limit, never on one file";
    writeFile("src/main.c", "int main(void) { return 0; }\n");
    ::setenv("KERV_FAKE_MODE", "one-bad", 1);
    ::setenv("KERV_JOBS", "1", 1);  // main.c shares a run with others
    for (int i = 0; i < 8; ++i) {
        writeFile("src/gen" + std::to_string(i) + ".c", "int g(void) { return 0; }\n");
        ASSERT_EQ(addSource(source("gen" + std::to_string(i) + ".c")), kOk);
    }
    aggregate(nullptr);
    ::unsetenv("KERV_JOBS");
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0) << "a failed file loses its earlier results";
    for (const char* name : {"gen0.c", "gen7.c"})
        EXPECT_EQ(hasResults(source(name).c_str()), 1) << name << ": a failed run is retried file by file";
    ::unsetenv("KERV_CPPCHECK");
    ::unsetenv("KERV_TIMEOUT");
    ::unsetenv("KERV_FAKE_MODE");
    aggregate(nullptr);
    EXPECT_EQ(hasUptoDateResults(source("main.c").c_str()), 1) << "the real analyser still works afterwards";
}

// A source that disappeared loses its results; results that cannot be
// written are served for the session but stay stale, so the next analysis
// that can write them does the file again.
TEST_F(AnalysisEntryPoints, VanishedSourcesAndUnsavedResultsAreNotUpToDate) {
    aggregate(nullptr);
    ASSERT_EQ(::unlink(source("main.c").c_str()), 0);
    aggregate(nullptr);
    VQDiagnosticArray_C* none = nullptr;
    EXPECT_EQ(getDiagnostics(source("main.c").c_str(), nullptr, nullptr, 0, &none), kNoResults);
    EXPECT_EQ(hasUptoDateResults(source("records.c").c_str()), 1);

    const std::string log = path("demo/results/results.log");
    ASSERT_EQ(::rename(log.c_str(), (log + ".kept").c_str()), 0);
    ASSERT_TRUE(makeDirectory(log)) << "a folder in the log's place cannot be written, even by root";
    ASSERT_EQ(initResults("", folder_.c_str(), "demo"), kOk);
    writeFile("src/records.c", "int f(void) { int* p = 0; return *p; }\n");
    aggregate(nullptr);
    EXPECT_TRUE(contains(diagnosticsOf(source("records.c")), "nullPointer", 1)) << "served from memory";
    EXPECT_EQ(hasUptoDateResults(source("records.c").c_str()), 0) << "not saved";

    ASSERT_EQ(::rmdir(log.c_str()), 0);
    ASSERT_EQ(::rename((log + ".kept").c_str(), log.c_str()), 0);
    ASSERT_EQ(initResults("", folder_.c_str(), "demo"), kOk);
    aggregate(nullptr);
    EXPECT_EQ(hasUptoDateResults(source("records.c").c_str()), 1);
    shutdownApp();
    ASSERT_EQ(initResults("", folder_.c_str(), "demo"), kOk);
    EXPECT_TRUE(contains(diagnosticsOf(source("records.c")), "nullPointer", 1)) << "saved once it could be";
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0) << "the vanished source's results stay dropped";
}

// A launcher runs every analysis run (its word splitting and PATH lookup
// included) and changes no finding; a run that it fails is retried file by
// file and quoted in the log; one that cannot be started fails aggregate.
TEST_F(AnalysisEntryPoints, RunsThroughALauncherKeepTheFindingsAndQuoteItsFailures) {
    const std::vector<std::string> analysed = {"main.c", "records.c", "shapes.cpp"};
    auto findingsOf = [&] {
        std::string text;
        for (const auto& name : analysed)
            for (const Seen& seen : diagnosticsOf(source(name)))
                text += name + " " + seen.id + ":" + std::to_string(seen.line) + "\n";
        return text;
    };
    auto openFreshProject = [&](const char* name) {
        const std::string config = testing::examplesDir() + "/config/";
        ASSERT_EQ(createProject(folder_.c_str(), name, (config + "analysis.acf").c_str(),
                                (config + "rules.rcf").c_str(), (config + "compiler.cct").c_str()),
                  kOk);
        for (const auto& file : analysed) ASSERT_EQ(addSource(source(file), file == "shapes.cpp" ? 1 : 0), kOk);
    };
    aggregate(nullptr);
    const std::string local = findingsOf();
    ASSERT_NE(local.find("nullPointer"), std::string::npos);

    writeFile("launch",
              "echo \"$*\" >> \"$KERV_FAKE_LAUNCHES\"\n"
              "case \"$KERV_FAKE_LAUNCH:$*\" in lose-main:*main.c*)\n"
              "  echo 'launch: error: node lost' >&2; exit 1;;\n"
              "  hang:*--version*) ;;\n"
              "  down:*) echo 'launch: error: controller unreachable' >&2; exit 1;;\n"
              "  hang:*) trap 'echo stopped >> \"$KERV_FAKE_LAUNCHES\"; exit 1' TERM; sleep 30 & wait; exit 1;;\n"
              "esac\nexec \"$@\"\n");
    ::setenv("KERV_FAKE_LAUNCHES", path("launches").c_str(), 1);
    ::setenv("KERV_LAUNCHER", ("sh  " + path("launch")).c_str(), 1);
    openFreshProject("launched");
    aggregate(nullptr);
    EXPECT_EQ(findingsOf(), local);
    auto launches = splitLines(readWholeFile(path("launches")).value_or(""));
    ASSERT_GE(launches.size(), 3u) << "two probes and the runs";
    for (const auto& line : launches) {
        const std::string program = line.substr(0, line.find(' '));
        EXPECT_EQ(program.substr(program.size() - 8), "cppcheck") << line;
        EXPECT_EQ(line.find("--output-file"), std::string::npos) << "the report comes back on standard error";
    }

    setLogLevel(VQLogLevel_C{1});
    ::setenv("KERV_FAKE_LAUNCH", "lose-main", 1);
    openFreshProject("lost");
    ::testing::internal::CaptureStderr();
    aggregate(nullptr);
    std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(hasResults(source("main.c").c_str()), 0);
    EXPECT_EQ(hasResults(source("records.c").c_str()), 1) << "retried on its own after its run failed";
    EXPECT_NE(log.find("main.c: the run through /usr/bin/"), std::string::npos) << log;
    EXPECT_NE(log.find("failed (exit code 1): launch: error: node lost"), std::string::npos) << log;

    ::setenv("KERV_FAKE_LAUNCH", "hang", 1);
    ::setenv("KERV_TIMEOUT", "1", 1);
    openFreshProject("hung");
    aggregate(nullptr);
    ::unsetenv("KERV_TIMEOUT");
    ::unsetenv("KERV_FAKE_LAUNCH");
    EXPECT_EQ(hasResults(source("records.c").c_str()), 0);
    EXPECT_NE(readWholeFile(path("launches")).value_or("").find("stopped"), std::string::npos)
        << "a silent run is asked to stop, so that the launcher can end its step";

    ::setenv("KERV_FAKE_LAUNCH", "down", 1);
    openFreshProject("down");
    ::testing::internal::CaptureStderr();
    aggregate(nullptr);
    log = ::testing::internal::GetCapturedStderr();
    ::unsetenv("KERV_FAKE_LAUNCH");
    EXPECT_EQ(hasResults(source("records.c").c_str()), 0);
    EXPECT_NE(log.find("failed: launch: error: controller unreachable"), std::string::npos) << log;

    ::setenv("KERV_LAUNCHER", path("no-such-launcher").c_str(), 1);
    openFreshProject("unlaunched");
    ::testing::internal::CaptureStderr();
    aggregate(nullptr);
    log = ::testing::internal::GetCapturedStderr();
    ::unsetenv("KERV_LAUNCHER");
    setLogLevel(VQLogLevel_C{0});
    EXPECT_EQ(hasResults(source("records.c").c_str()), 0);
    EXPECT_NE(log.find("the launcher " + path("no-such-launcher") + " cannot be started"), std::string::npos) << log;
    EXPECT_NE(log.find("aggregate: status -14"), std::string::npos) << log;
}

std::map<std::string, const VQTreeStruct*> childrenByName(const VQTreeStruct* node) {
    std::map<std::string, const VQTreeStruct*> children;
    for (uint32_t i = 0; i < node->subItems->count; ++i)
        children[node->subItems->items[i]->name] = node->subItems->items[i];
    return children;
}

TEST_F(AnalysisEntryPoints, TreesCountDiagnosticsAndHonourTheScope) {
    aggregate(nullptr);
    auto main = diagnosticsOf(source("main.c"));
    auto records = diagnosticsOf(source("records.c"));
    auto shapes = diagnosticsOf(source("shapes.cpp"));
    int all = static_cast<int>(main.size() + records.size() + shapes.size());

    VQTrees_C* trees = nullptr;
    ASSERT_EQ(getTrees(&trees, false, 0, nullptr), kOk);
    EXPECT_EQ(trees->fileTree->type, 0);
    EXPECT_EQ(trees->fileTree->total, all);
    EXPECT_EQ(trees->fileTree->active, all - 1) << "one finding is switched off";
    EXPECT_EQ(trees->ruleTree->total, all);
    EXPECT_EQ(trees->messageTree->total, all);
    ASSERT_EQ(trees->fileTree->subItems->count, 1u) << "one folder: src";
    auto files = childrenByName(trees->fileTree->subItems->items[0]);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files["main.c"]->total, static_cast<int>(main.size()));
    EXPECT_EQ(files["main.c"]->type, 2);
    auto groups = childrenByName(trees->ruleTree);
    ASSERT_TRUE(groups.count("style"));
    auto styleRules = childrenByName(groups["style"]);
    ASSERT_TRUE(styleRules.count("unreadVariable"));
    EXPECT_EQ(styleRules["unreadVariable"]->total, 1);
    EXPECT_EQ(styleRules["unreadVariable"]->active, 0);
    EXPECT_EQ(freeTrees(&trees), kOk);

    std::vector<std::string> items = {source("shapes.cpp")};
    auto pointers = testing::textPointers(items);
    ASSERT_EQ(getTrees(&trees, false, 1, pointers.data()), kOk);
    EXPECT_EQ(trees->fileTree->total, static_cast<int>(shapes.size()));
    EXPECT_EQ(childrenByName(trees->messageTree).count("nullPointer"), 0u);
    freeTrees(&trees);

    writeFile("src/clean.c", "int clean(void) { return 0; }\n");
    ASSERT_EQ(addSource(source("clean.c")), kOk);
    aggregate(nullptr);
    ASSERT_EQ(getTrees(&trees, true, 0, nullptr), kOk);
    EXPECT_EQ(childrenByName(trees->fileTree->subItems->items[0]).size(), 4u) << "empty files listed with the flag";
    EXPECT_GT(trees->ruleTree->subItems->count, 3u);
    EXPECT_TRUE(childrenByName(childrenByName(trees->ruleTree)["error"]).count("doubleFree"));
    freeTrees(&trees);
    EXPECT_EQ(getTrees(&trees, false, 2, nullptr), kNullArgument);
}

TEST_F(AnalysisEntryPoints, RuleGroupsAndMessageMapFollowTheRuleConfiguration) {
    VQRuleGroupArray_C* groups = nullptr;
    ASSERT_EQ(getRuleGroups(&groups), kOk);
    std::vector<std::string> names;
    const RuleStruct* unread = nullptr;
    size_t ruleCount = 0;
    size_t explained = 0;
    for (uint32_t g = 0; g < groups->count; ++g) {
        names.push_back(groups->ruleGroups[g]->ruleGroupName);
        for (uint32_t r = 0; r < groups->ruleGroups[g]->rules->count; ++r, ++ruleCount) {
            const RuleStruct* rule = groups->ruleGroups[g]->rules->rules[r];
            EXPECT_STREQ(rule->ruleGroup, groups->ruleGroups[g]->ruleGroupName);
            // The text is the message, then after a blank line the longer explanation the message refers to.
            const VQMessage_C* message = rule->mappedMessages->messages[0];
            std::string text = rule->ruleText, summary = message->messageText;
            EXPECT_EQ(text.substr(0, summary.size()), summary) << rule->ruleId;
            if (text.size() > summary.size()) {
                ++explained;
                ASSERT_GE(message->references->count, 1u) << rule->ruleId;
                EXPECT_EQ("\n\n" + std::string(message->references->refs[message->references->count - 1]),
                          text.substr(summary.size()))
                    << rule->ruleId;
            }
            if (std::string(rule->ruleId) == "unreadVariable") unread = rule;
        }
    }
    EXPECT_GT(explained, 0u);
    EXPECT_EQ(names,
              (std::vector<std::string>{"error", "warning", "style", "performance", "portability", "information"}));
    ASSERT_NE(unread, nullptr);
    EXPECT_EQ(unread->isActive, 0);
    ASSERT_EQ(unread->categories->count, 1u);
    EXPECT_STREQ(unread->categories->categories[0], "CWE-563");
    ASSERT_EQ(unread->mappedMessages->count, 1u);
    EXPECT_STREQ(unread->mappedMessages->messages[0]->uniqueMessageID, "unreadVariable");
    EXPECT_EQ(freeRuleGroups(&groups), kOk);

    VQMessageRuleMap_C* map = nullptr;
    ASSERT_EQ(getMessageRuleMap(&map), kOk);
    EXPECT_EQ(map->count, ruleCount);
    for (uint32_t i = 0; i < map->count; ++i) {
        ASSERT_EQ(map->mappings[i]->ruleIdCount, 1u);
        EXPECT_STREQ(map->mappings[i]->ruleIds[0], map->mappings[i]->uniqueMessageID);
    }
    EXPECT_EQ(freeMessageRuleMap(&map), kOk);
    EXPECT_EQ(map, nullptr);
}

}  // namespace
}  // namespace kerv::engine
