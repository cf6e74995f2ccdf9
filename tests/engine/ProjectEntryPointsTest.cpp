#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "engine/store/FileSystem.h"
#include "engine/store/SourcePaths.h"
#include "tests/engine/EngineTestSupport.h"

namespace kerv::engine {
namespace {

class ProjectEntryPoints : public testing::EngineTest {
protected:
    std::vector<std::string> filesOfProject() {
        VQStrings_C* list = nullptr;
        EXPECT_EQ(getFiles(&list), kOk);
        std::vector<std::string> files;
        for (uint32_t i = 0; list && i < list->count; ++i) files.push_back(list->strings[i]);
        return files;  // the list stays the engine's
    }
};

TEST_F(ProjectEntryPoints, CreateValidatesItsArgumentsAndNeverOverwrites) {
    EXPECT_EQ(createProject(nullptr, "p", "", "", ""), kNullArgument);
    EXPECT_EQ(createProject(folder_.c_str(), nullptr, "", "", ""), kNullArgument);
    for (const char* badName : {"", ".", "..", "a/b"})
        EXPECT_EQ(createProject(folder_.c_str(), badName, "", "", ""), kBadArgument);
    EXPECT_EQ(createProject(path("missing").c_str(), "p", "", "", ""), kLocationMissing);
    writeFile("bad.acf", "checks = warning\nspeed = fast\n");
    EXPECT_EQ(createProject(folder_.c_str(), "p", path("bad.acf").c_str(), "", ""), kConfigSyntax);
    EXPECT_EQ(createProject(folder_.c_str(), "p", "", path("none.rcf").c_str(), ""), kConfigUnreadable);
    EXPECT_FALSE(isDirectory(path("p"))) << "a refused project leaves nothing on disk";

    EXPECT_EQ(isVQFProject(folder_.c_str(), "p"), 0);
    ASSERT_EQ(createProject(folder_.c_str(), "p", nullptr, "", ""), kOk) << "null and empty paths mean defaults";
    EXPECT_EQ(isVQFProject(folder_.c_str(), "p"), 1);
    ASSERT_EQ(addSource(copyExampleSources()[0]), kOk);
    EXPECT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kProjectExists);
    ASSERT_EQ(initProjectMngr("", folder_.c_str(), "p"), kOk);
    EXPECT_EQ(filesOfProject().size(), 1u) << "the refused create did not touch the project";

    makeDirectory(path("halfmade"));
    makeDirectory(path("halfmade/results"));
    EXPECT_EQ(createProject(folder_.c_str(), "halfmade", "", "", ""), kOk) << "a folder a stopped create left";
    makeDirectory(path("occupied"));
    writeFile("occupied/notes.txt", "mine");
    EXPECT_EQ(createProject(folder_.c_str(), "occupied", "", "", ""), kProjectExists);
}

TEST_F(ProjectEntryPoints, FilesAndTheirSettingsAreSavedAndReadBack) {
    auto sources = copyExampleSources();
    ASSERT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kOk);
    std::vector<std::string> defines = {"A", "B=1"}, includes = {path("src")};
    auto definePointers = testing::textPointers(defines), includePointers = testing::textPointers(includes);
    ASSERT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, sources[0].c_str(), 2, definePointers.data(), 1, includePointers.data()),
              kOk);
    ASSERT_EQ(addSource(sources[3], 1), kOk);
    ASSERT_EQ(addSource(sources[0]), kOk) << "adding again replaces the settings";

    EXPECT_EQ(addFile(VQ_SOURCE_LANGUAGE_CSHARP, sources[1].c_str(), 0, nullptr, 0, nullptr), kBadArgument);
    EXPECT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, sources[1].c_str(), 1, nullptr, 0, nullptr), kNullArgument);
    char* holes[] = {nullptr};
    EXPECT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, sources[1].c_str(), 0, nullptr, 1, holes), kNullArgument);
    EXPECT_EQ(addSource(path("src/none.c")), kSourceUnreadable);
    EXPECT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, nullptr, 0, nullptr, 0, nullptr), kNullArgument);
    for (const char* name : {"semi;colon.c", "tab\t.c", "line\n.c", "sep\x19.c", "quote\".c", "back\\slash.c"}) {
        writeFile(std::string("src/") + name, "int f;\n");
        EXPECT_EQ(addSource(path(std::string("src/") + name)), kBadArgument) << "readable, but refused: " << name;
    }
    EXPECT_EQ(unsupportedInSourcePath("/a/x<y&z>.c"), "");
    EXPECT_EQ(unsupportedInSourcePath("/a/b\tc.c"), "the control character U+0009");
    EXPECT_EQ(unsupportedInSourcePath("/a/b;c.c"), "';' (U+003B)");
    EXPECT_EQ(unsupportedInSourcePath("/a/b</c.c"), "'</'");

    ASSERT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, sources[1].c_str(), 2, definePointers.data(), 1, includePointers.data()),
              kOk);
    shutdownApi();
    EXPECT_EQ(getFiles(nullptr), kNullArgument);
    VQStrings_C* none = reinterpret_cast<VQStrings_C*>(&none);
    EXPECT_EQ(getFiles(&none), kNoProject);
    EXPECT_EQ(none, nullptr);

    ASSERT_EQ(initProjectMngr(nullptr, folder_.c_str(), "p"), kOk);
    EXPECT_EQ(filesOfProject(), (std::vector<std::string>{sources[0], sources[3], sources[1]}));
    VQFile_C* file = nullptr;
    ASSERT_EQ(getVQFile(sources[1].c_str(), &file), kOk);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->sourceLanguage, VQ_SOURCE_LANGUAGE_C);
    ASSERT_EQ(file->defines->count, 2u);
    EXPECT_STREQ(file->defines->defines[1], "B=1");
    ASSERT_EQ(file->includes->count, 1u);
    EXPECT_EQ(file->includes->includes[0].includePath, path("src"));
    EXPECT_EQ(freeVQFile(&file), kOk);
    EXPECT_EQ(file, nullptr);
    ASSERT_EQ(getVQFile(sources[0].c_str(), &file), kOk);
    EXPECT_EQ(file->defines->count, 0u) << "the second addFile replaced the defines";
    freeVQFile(&file);
    EXPECT_EQ(getVQFile(path("src/records.h").c_str(), &file), kFileNotInProject);
    EXPECT_EQ(file, nullptr);

    EXPECT_EQ(removeFile(sources[3].c_str()), kOk);
    EXPECT_EQ(removeFile(sources[3].c_str()), kFileNotInProject);
    ASSERT_EQ(initProjectMngr(nullptr, folder_.c_str(), "p"), kOk);
    EXPECT_EQ(filesOfProject(), (std::vector<std::string>{sources[0], sources[1]}));
}

TEST_F(ProjectEntryPoints, CompilerConfigurationsWorkspaceAndLanguage) {
    writeFile("one.cct", "define = ONE\n");
    writeFile("bad.cct", "[C]\nflag = x\n");
    EXPECT_EQ(addCCT(path("one.cct").c_str()), kNoProject);
    ASSERT_EQ(createProject(folder_.c_str(), "p", "", "", path("one.cct").c_str()), kOk);
    EXPECT_EQ(addCCT(path("bad.cct").c_str()), kConfigSyntax);
    EXPECT_EQ(addCCT(nullptr), kNullArgument);
    writeFile("two.cct", "include = /opt/inc\n");
    ASSERT_EQ(addCCT(path("two.cct").c_str()), kOk);
    EXPECT_EQ(setActiveCCT(VQ_SOURCE_LANGUAGE_CPP, "two.cct"), kOk);
    EXPECT_EQ(setActiveCCT(VQ_SOURCE_LANGUAGE_C, "bad.cct"), kCctNotRegistered);
    EXPECT_EQ(setActiveCCT(VQ_SOURCE_LANGUAGE_CSHARP, "two.cct"), kBadArgument);
    EXPECT_EQ(setActiveCCT(VQ_SOURCE_LANGUAGE_C, nullptr), kNullArgument);

    setWorkspace(path("ws").c_str());
    setCurrentLanguage(static_cast<VQLanguage_C>(0));
    setCurrentLanguage(static_cast<VQLanguage_C>(7));  // not available: ignored
    shutdownApi();
    EXPECT_NE(std::string(getWorkspace()), path("ws"));
    ASSERT_EQ(initProjectMngr("", folder_.c_str(), "p"), kOk);
    EXPECT_EQ(std::string(getWorkspace()), path("ws"));
    EXPECT_EQ(getCurrentLanguage(), 0);
    Project project;
    ASSERT_EQ(loadProject(folder_, "p", project), kOk);
    EXPECT_EQ(project.activeCct[1], path("two.cct"));
    EXPECT_EQ(project.activeCct[0], path("one.cct"));

    makeDirectory(path("ws"));
    ASSERT_EQ(createProject(path("ws").c_str(), "alpha", "", "", ""), kOk);
    makeDirectory(path("ws/plain-folder"));
    VQStrings_C* projects = nullptr;
    ASSERT_EQ(getCMAProjectList(&projects), 1);
    ASSERT_EQ(projects->count, 1u);
    EXPECT_STREQ(projects->strings[0], "alpha");
    EXPECT_EQ(freeStrings(&projects), kOk);
}

TEST_F(ProjectEntryPoints, DamagedProjectFileIsReportedNotOpened) {
    ASSERT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kOk);
    writeFile("p/project.kerv", "kerv-project\t1\nfile\t0\n");
    shutdownApi();
    EXPECT_EQ(initProjectMngr("", folder_.c_str(), "p"), kProjectCorrupt);
    EXPECT_EQ(isVQFProject(folder_.c_str(), "p"), 0);
    EXPECT_EQ(initProjectMngr("", folder_.c_str(), "q"), kProjectNotFound);
    EXPECT_EQ(removeFile("/x.c"), kNoProject);
}

// Adds `sources` from `from` on and writes the count of files added to
// `acks` as soon as each addition returns; after every even count the
// journal is folded, so the kill that follows such an acknowledgement lands
// in a fold and the one after an odd count in the next addition.
[[noreturn]] void addUntilKilled(const std::string& location, const std::vector<std::string>& sources, size_t from,
                                 int acks) {
    Project project;
    if (loadProject(location, "p", project) != kOk) ::_exit(1);
    for (size_t i = from; i < sources.size(); ++i) {
        if (putProjectFile(project, {sources[i], 0, {}, {}}) != kOk) ::_exit(2);
        uint32_t made = static_cast<uint32_t>(i + 1);
        if (::write(acks, &made, sizeof made) != sizeof made) ::_exit(3);
        if (made % 2 == 0 && foldJournal(project) != kOk) ::_exit(4);
    }
    ::_exit(0);
}

// Processes killed while they add files and fold the journal leave a project
// that opens with every file whose addition returned, in order. The child
// reports each change made through a pipe, so each kill lands in the middle
// of the writes: half of them in the next addition, half in a fold, once the
// fold's new project file has appeared (until three caught a fold half-done).
TEST_F(ProjectEntryPoints, KillsDuringChangesAndFoldsKeepEveryChangeMade) {
    std::vector<std::string> sources;
    for (int i = 0; i < 2000; ++i) sources.push_back(path("src/" + std::string(200, 'f') + std::to_string(i) + ".c"));
    ASSERT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kOk);
    shutdownApi();
    size_t made = 0;
    int killedInFold = 0;
    for (int round = 0; round < 16 && (round < 8 || killedInFold < 3); ++round) {
        int acks[2];
        ASSERT_EQ(::pipe(acks), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) addUntilKilled(folder_, sources, made, acks[1]);
        ::close(acks[1]);
        uint32_t count = 0;
        const size_t wanted = made + 5 + 7 * static_cast<size_t>(round);
        while (made < wanted || made % 2 != static_cast<size_t>(round % 2)) {
            ASSERT_EQ(::read(acks[0], &count, sizeof count), static_cast<ssize_t>(sizeof count)) << "child ended";
            made = count;
        }
        const std::string temporary = "project.kerv.tmp-" + std::to_string(child) + "-";
        auto folding = [&] {
            for (const std::string& name : listDirectory(path("p")))
                if (name.rfind(temporary, 0) == 0) return true;
            return false;
        };
        bool seen = round % 2 == 1;
        for (int look = 0; !seen && look < 100000; ++look) seen = folding();
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        while (::read(acks[0], &count, sizeof count) == static_cast<ssize_t>(sizeof count)) made = count;
        ::close(acks[0]);

        bool inFold = folding();
        Project project;
        ASSERT_EQ(loadProject(folder_, "p", project), kOk) << "round " << round;
        // A whole journal line ignored: the journal of the project file that the fold replaced.
        std::string journal = readWholeFile(project.journalPath()).value_or("");
        inFold |= project.stored.journalBytes == 0 && journal.find('\n') != std::string::npos;
        killedInFold += inFold ? 1 : 0;
        for (const std::string& name : listDirectory(path("p")))
            ASSERT_NE(name.rfind(temporary, 0), 0u) << "the killed process's temporary file is removed";
        ASSERT_GE(project.files.size(), made) << "round " << round;
        ASSERT_LE(project.files.size(), made + 1) << "at most the change in progress besides";
        size_t i = 0;
        for (const ProjectFile& file : project.files) ASSERT_EQ(file.path, sources[i++]);
        made = project.files.size();
    }
    EXPECT_GE(killedInFold, 3) << "kills aimed at folds land inside them";
    const std::string ownTemporary = "p/project.kerv.tmp-" + std::to_string(::getpid()) + "-77";
    writeFile(ownTemporary, "in progress");
    ASSERT_EQ(initProjectMngr("", folder_.c_str(), "p"), kOk);
    EXPECT_TRUE(isReadableFile(path(ownTemporary))) << "a running process's file is kept";
    ASSERT_EQ(filesOfProject().size(), made);
    writeFile("extra.c", "int extra;\n");
    ASSERT_EQ(addSource(path("extra.c")), kOk) << "the reopened project takes changes";
}

// A process with a project open holds it: another process, also one that
// would create the project, gets kProjectLocked until the holder is killed.
TEST_F(ProjectEntryPoints, AProjectIsOpenInOneProcessAtATime) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char done = createProject(folder_.c_str(), "p", "", "", "") == kOk ? 'y' : 'n';
        if (::write(ready[1], &done, 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char done = 0;
    ASSERT_EQ(::read(ready[0], &done, 1), 1);
    ASSERT_EQ(done, 'y');
    EXPECT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kProjectLocked) << "not kProjectExists";
    EXPECT_EQ(initProjectMngr("", folder_.c_str(), "p"), kProjectLocked);
    EXPECT_EQ(readWholeFile(path("p/project.lock")), std::to_string(child) + "\n");
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(initProjectMngr("", folder_.c_str(), "p"), kOk) << "the killed holder's lock is gone";
    EXPECT_EQ(initProjectMngr("", folder_.c_str(), "p"), kOk) << "this process may reopen its own project";
}

TEST_F(ProjectEntryPoints, PathsHelpAndExtensionsFollowTheUsersFolders) {
    EXPECT_EQ(std::string(getUserPath()), path("data/kerv"));
    EXPECT_EQ(std::string(getUserConfigPath()), path("config/kerv"));
    EXPECT_EQ(std::string(getUserAppConfigPath()), path("config/kerv/engine.conf"));
    EXPECT_EQ(std::string(getWorkspace()), path("data/kerv/workspace"));
    EXPECT_EQ(std::string(getInstallConfigPath()), std::string(getInstallPath()) + "/config");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(std::string(getUserConfigPath()), std::string(std::getenv("HOME")) + "/.config/kerv");

    std::string html = getVQFHelp(true), plain = getVQFHelp(false);
    EXPECT_EQ(html.rfind("<html>", 0), 0u);
    EXPECT_NE(plain.find("<location>/<name>"), std::string::npos);
    EXPECT_EQ(html.find("<location>"), std::string::npos) << "texts are escaped inside the HTML";
    EXPECT_NE(html.find("&lt;location&gt;/&lt;name&gt;"), std::string::npos);
    EXPECT_NE(std::string(getVQFContextHelp(static_cast<VQHelpContext_C>(2))).find("rcf"), std::string::npos);
    EXPECT_STREQ(getVQFContextHelp(static_cast<VQHelpContext_C>(4)), "");
    EXPECT_STREQ(getVQFContextHelp(static_cast<VQHelpContext_C>(-1)), "");
    std::string ids = getComponentMessages("cppcheck", "");
    EXPECT_NE(ids.find(";nullPointer;"), std::string::npos);
    EXPECT_STREQ(getComponentMessages("cppcheck", "0.0"), "") << "another version of cppcheck";
    EXPECT_STREQ(getComponentMessages("engine", nullptr), "");

    VQStrings_C* extensions = nullptr;
    ASSERT_EQ(getMappedFileExtensions(VQ_SOURCE_LANGUAGE_CPP, &extensions), kOk);
    ASSERT_EQ(extensions->count, 4u);
    EXPECT_STREQ(extensions->strings[0], ".cpp");
    freeStrings(&extensions);
    EXPECT_EQ(getMappedFileExtensions(VQ_SOURCE_LANGUAGE_CSHARP, &extensions), kBadArgument);
    EXPECT_EQ(extensions, nullptr);
}

// Every entry point given null pointers, with and without an open project,
// answers with a code or an empty value and leaves the project as it was.
TEST_F(ProjectEntryPoints, NullArgumentsGiveCodesNeverCrashes) {
    for (bool withProject : {false, true}) {
        SCOPED_TRACE(withProject ? "project open" : "no project");
        if (withProject) {
            ASSERT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kOk);
        }
        setBindKey(nullptr);
        EXPECT_EQ(initApi(nullptr), kOk);
        setWorkspace(nullptr);
        EXPECT_NE(getWorkspace(), nullptr);
        EXPECT_STREQ(getComponentMessages(nullptr, nullptr), "");
        EXPECT_EQ(isVQFProject(nullptr, nullptr), 0);
        EXPECT_EQ(initProjectMngr(nullptr, nullptr, nullptr), kNullArgument);
        EXPECT_EQ(initResults(nullptr, nullptr, nullptr), kNullArgument);
        EXPECT_EQ(removeFile(nullptr), kNullArgument);
        EXPECT_EQ(addFile(VQ_SOURCE_LANGUAGE_C, nullptr, 3, nullptr, 3, nullptr), kNullArgument);
        EXPECT_EQ(getMappedFileExtensions(VQ_SOURCE_LANGUAGE_C, nullptr), kNullArgument);
        VQFile_C* file = nullptr;
        EXPECT_EQ(getVQFile(nullptr, &file), kNullArgument);
        EXPECT_EQ(getVQFile("/x.c", nullptr), kNullArgument);
        VQDiagnosticArray_C* diagnostics = nullptr;
        EXPECT_EQ(getDiagnostics(nullptr, nullptr, nullptr, 0, &diagnostics), kNullArgument);
        EXPECT_EQ(getDiagnostics("/x.c", nullptr, nullptr, 0, nullptr), kNullArgument);
        EXPECT_EQ(getIncludedFiles(nullptr), kNullArgument);
        EXPECT_EQ(getRuleGroups(nullptr), kNullArgument);
        EXPECT_EQ(getMessageRuleMap(nullptr), kNullArgument);
        EXPECT_EQ(getTrees(nullptr, true, 0, nullptr), kNullArgument);
        EXPECT_EQ(getReportTools(nullptr), 0);
        EXPECT_EQ(getCMAProjectList(nullptr), 0);
        EXPECT_EQ(hasResults(nullptr), 0);
        EXPECT_EQ(hasUptoDateResults(nullptr), 0);
        getAvailableLanguages(nullptr);
        aggregate(nullptr);
        EXPECT_EQ(file, nullptr);
        EXPECT_EQ(diagnostics, nullptr);
    }
    EXPECT_EQ(initProjectMngr("", folder_.c_str(), "p"), kOk) << "the project survived";
}

TEST_F(ProjectEntryPoints, FreeFunctionsAcceptNullRecordsAndRejectNullAddresses) {
    EXPECT_EQ(freeStrings(nullptr), kNullArgument);
    EXPECT_EQ(freeDiagnostics(nullptr), kNullArgument);
    EXPECT_EQ(freeTrees(nullptr), kNullArgument);
    EXPECT_EQ(freeRuleGroups(nullptr), kNullArgument);
    EXPECT_EQ(freeMessageRuleMap(nullptr), kNullArgument);
    EXPECT_EQ(freeVQFile(nullptr), kNullArgument);
    EXPECT_EQ(freeFilePaths(nullptr), kNullArgument);
    freeLanguages(nullptr);
    VQDiagnosticArray_C* diagnostics = nullptr;
    EXPECT_EQ(freeDiagnostics(&diagnostics), kOk);

    ASSERT_EQ(createProject(folder_.c_str(), "p", "", "", ""), kOk);
    VQStrings_C* kept = nullptr;
    ASSERT_EQ(getFiles(&kept), kOk);
    EXPECT_EQ(freeStrings(&kept), kOk) << "a caller may release the kept list itself";
    ASSERT_EQ(getFiles(&kept), kOk) << "and the engine must not release it a second time";
    VQLanguages_C* languages = nullptr;
    getAvailableLanguages(&languages);
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->count, 2u);
    freeLanguages(&languages);
    EXPECT_EQ(languages, nullptr);
}

}  // namespace
}  // namespace kerv::engine
