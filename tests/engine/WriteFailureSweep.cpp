// Fails each write of a project or results call in turn and checks what is
// left. Run as `engine_write_failure_sweep <shim.so>`, it starts itself once
// per write of each call, in a child process with the shim preloaded
// (WriteFailureShim.c), and reopens the project the child left:
//   - a call during which a write failed reports a failure (a status, or for
//     the calls without one a line on standard error);
//   - the project opens, holding either the state before the call or the one
//     after it, never a mixture, and results that a clean run would give or
//     none;
//   - a change made after the failure (the disk has room again) returns 0
//     and is kept;
//   - the project the child holds in memory is the one it left on disk.
// Each write fails once with ENOSPC, then from that write on with EIO.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/entry/EntryPoints.h"
#include "engine/store/FileSystem.h"
#include "engine/store/Project.h"
#include "engine/store/ResultsStore.h"

using namespace kerv::engine;

namespace {

const char* const kProjectName = "p";
std::string g_work;  // the project location and the XDG folders

std::string at(const char* name) {
    return g_work + "/" + name;
}

int addSource(const char* name, unsigned defineCount = 0, char** defines = nullptr) {
    return addFile(static_cast<VQSourceLanguage_C>(0), at(name).c_str(), defineCount, defines, 0, nullptr);
}

// a.c again with a define of 8 KiB: the eighth such change takes the
// journal past the size at which a change folds it into the project file.
int addWithLargeDefine() {
    std::string define = "D" + std::to_string(std::rand()) + "=" + std::string(8192, 'x');
    char* defines[] = {define.data()};
    return addSource("a.c", 1, defines);
}

int create() {
    return createProject(g_work.c_str(), kProjectName, "", "", "");
}

int createWithSources() {
    return create() != kOk ? -1 : addSource("a.c") != kOk ? -1 : addSource("b.c");
}

// A call without a status: a failure shows as a line on standard error.
template <class Call>
std::function<int()> noStatus(Call call) {
    return [call] { return call(), kOk; };
}

struct Scenario {
    const char* name;
    std::function<int()> setup;
    std::function<int()> call;
    // False where the state reopened after the change that follows is the
    // same with and without the call (a fold; a project made by the change).
    bool changesWhatReopens = true;
    bool returnsStatus = true;
};

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all = {
        {"createProject", [] { return kOk; }, create, false},
        {"addFile (new journal)", create, [] { return addSource("a.c"); }},
        {"addFile (journal appended)", [] { return create() == kOk ? addSource("a.c") : -1; },
         [] { return addSource("b.c"); }},
        {"removeFile", [] { return createWithSources() == kOk ? (aggregate(nullptr), kOk) : -1; },  // with results
         [] { return removeFile(at("a.c").c_str()); }},
        {"addFile folding the journal",
         [] {
             int status = create();
             for (int i = 0; i < 7 && status == kOk; ++i) status = addWithLargeDefine();
             return status;
         },
         addWithLargeDefine},
        {"fold of the journal (shutdownApi)", createWithSources, noStatus(shutdownApi), false, false},
        {"addCCT", create, [] { return addCCT(at("compiler.cct").c_str()); }},
        {"setActiveCCT", [] { return create() == kOk ? addCCT(at("compiler.cct").c_str()) : -1; },
         [] { return setActiveCCT(static_cast<VQSourceLanguage_C>(0), "compiler.cct"); }},
        {"setCurrentLanguage", create, noStatus([] { setCurrentLanguage(static_cast<VQLanguage_C>(0)); }), true, false},
        {"setWorkspace", create, noStatus([] { setWorkspace(at("workspace").c_str()); }), true, false},
        {"aggregate", createWithSources, noStatus([] { aggregate(nullptr); }), true, false},
    };
    return all;
}

// ---- the child: one call with one failing write ---------------------------

void writeText(const char* name, const std::string& text) {
    std::ofstream(at(name)) << text;
}

// The change after the call: the project is opened again when the call
// closed it or could not make it.
int followUp() {
    int status = addSource("follow.c");
    if (status != kNoProject) return status;
    if (initProjectMngr("", g_work.c_str(), kProjectName) != kOk && create() != kOk) return -1;
    return addSource("follow.c");
}

template <class Function>
Function shimFunction(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// argv: child <scenario> <work folder> <run the call: 0/1>. Prints the
// counted writes, the failed ones, whether the call reported a failure and
// the status of the change after it.
int runChild(char** argv) {
    const Scenario& scenario = scenarios().at(std::strtoul(argv[2], nullptr, 10));
    g_work = argv[3];
    setLogLevel(static_cast<VQLogLevel_C>(1));  // failures on standard error
    ::setenv("XDG_CONFIG_HOME", at("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", at("data").c_str(), 1);
    for (const char* name : {"a.c", "b.c", "follow.c"})
        writeText(name, "int f(int i) { int a[2] = {0, 1}; return a[i] + a[2]; }\n");
    writeText("compiler.cct", readWholeFile(std::string(KERV_EXAMPLES_DIR) + "/config/compiler.cct").value_or(""));
    auto arm = shimFunction<void (*)()>("kervFaultArm");
    auto disarm = shimFunction<long (*)()>("kervFaultDisarm");
    auto injected = shimFunction<long (*)()>("kervFaultInjected");
    if (!arm || !disarm || !injected || scenario.setup() != kOk) {
        std::fprintf(stderr, "%s: no write failure shim, or the setup failed\n", scenario.name);
        return 2;
    }
    // The call's lines on standard error, passed on afterwards.
    const std::string errors = at("call-stderr.txt");
    const int savedStderr = ::dup(2);
    const int capture = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ::dup2(capture, 2);
    ::close(capture);
    arm();
    const int status = std::string(argv[4]) == "1" ? scenario.call() : kOk;
    const long writes = disarm();
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    const std::string logged = readWholeFile(errors).value_or("");
    std::fputs(logged.c_str(), stderr);
    const bool reported = status != kOk || (!scenario.returnsStatus && logged.find("libKERV: ") != std::string::npos);
    const int followed = followUp();
    // What this process holds, for the parent to compare with the disk.
    writeText("memory.txt", session().project ? serialiseProject(*session().project) : "");
    std::printf("%ld %ld %d %d\n", writes, injected(), reported ? 1 : 0, followed);
    std::fflush(stdout);
    ::_exit(0);  // no closing fold: the project stays as the call left it
}

// ---- the parent ------------------------------------------------------------

struct ChildReport {
    long writes = 0;
    long injected = 0;
    int reported = 0;
    int followUpStatus = -1;
};

struct Injection {
    long at = 0;  // 0: none
    int error = ENOSPC;
    bool sticky = false;
};

bool runInChild(const std::string& self, const std::string& shim, size_t scenario, bool runCall, Injection injection,
                ChildReport& report) {
    std::system(("rm -rf '" + g_work + "'").c_str());
    if (!makeDirectory(g_work)) return false;
    const std::string command = "env LD_PRELOAD='" + shim + "' KERV_FAULT_AT=" + std::to_string(injection.at) +
                                " KERV_FAULT_ERRNO=" + std::to_string(injection.error) +
                                " KERV_FAULT_STICKY=" + (injection.sticky ? "1" : "0") + " '" + self + "' child " +
                                std::to_string(scenario) + " '" + g_work + "' " + (runCall ? "1" : "0");
    FILE* child = ::popen(command.c_str(), "r");
    if (!child) return false;
    const int read =
        std::fscanf(child, "%ld %ld %d %d", &report.writes, &report.injected, &report.reported, &report.followUpStatus);
    return ::pclose(child) == 0 && read == 4;
}

// What a reopened project holds: the project file's text as written now,
// and each file's results.
struct StoredProject {
    Status status = kProjectNotFound;
    std::string project;
    std::map<std::string, std::string> results;
};

StoredProject reopen(const std::string& work) {
    StoredProject stored;
    Project project;
    stored.status = loadProject(work, kProjectName, project);
    if (stored.status != kOk) return stored;
    stored.project = serialiseProject(project);
    ResultsStore results;
    if (results.open(project.resultsFolder()) != kOk) stored.status = kWriteFailed;
    for (const auto& [path, result] : results.all()) stored.results[path] = serialiseFileResult(result);
    return stored;
}

// Empty when `found` is `before` or `after` with any of its results (as the
// clean run gave them) missing; else what is wrong.
std::string judge(const StoredProject& found, const StoredProject& before, const StoredProject& after) {
    if (found.status != kOk) return "the project does not open (status " + std::to_string(found.status) + ")";
    if (found.project != before.project && found.project != after.project)
        return "the project holds neither the state before the call nor the one after it:\n" + found.project;
    for (const auto& [path, result] : found.results) {
        auto matches = [&, &path = path, &result = result](const StoredProject& reference) {
            auto it = reference.results.find(path);
            return it != reference.results.end() && it->second == result;
        };
        if (!matches(before) && !matches(after)) return "results of " + path + " that no clean run gave";
    }
    return "";
}

int runSweep(const std::string& self, const std::string& shim) {
    char pattern[] = "/tmp/kerv-write-sweep-XXXXXX";
    if (!::mkdtemp(pattern)) return 2;
    g_work = std::string(pattern) + "/work";
    // In a sanitizer build the shim comes before the sanitizer's runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
    int failures = 0;
    auto fail = [&failures](const std::string& what) {
        std::fprintf(stderr, "FAIL %s\n", what.c_str());
        ++failures;
    };
    for (size_t index = 0; index < scenarios().size(); ++index) {
        const char* name = scenarios()[index].name;
        const auto started = std::chrono::steady_clock::now();
        ChildReport clean;
        if (!runInChild(self, shim, index, false, {}, clean)) {
            fail(std::string(name) + ": the run without the call failed");
            continue;
        }
        const StoredProject before = reopen(g_work);
        if (!runInChild(self, shim, index, true, {}, clean) || clean.reported || clean.followUpStatus != kOk) {
            fail(std::string(name) + ": the run without a failing write failed");
            continue;
        }
        const StoredProject after = reopen(g_work);
        if (before.status != kOk || after.status != kOk) fail(std::string(name) + ": a clean run leaves no project");
        if (scenarios()[index].changesWhatReopens && before.project == after.project && before.results == after.results)
            fail(std::string(name) + ": the call changes nothing on disk");
        std::string counts;
        for (const Injection mode : {Injection{1, ENOSPC, false}, Injection{1, EIO, true}}) {
            long points = 0;
            for (Injection injection = mode;; ++injection.at) {
                const std::string run = std::string(name) + ", write " + std::to_string(injection.at) +
                                        (injection.sticky ? " and later failing with EIO" : " failing with ENOSPC");
                ChildReport report;
                if (!runInChild(self, shim, index, true, injection, report)) {
                    fail(run + ": the child failed");
                    break;
                }
                if (report.injected == 0) break;  // the call made fewer writes
                ++points;
                if (!report.reported) fail(run + ": the call reported success");
                if (report.followUpStatus != kOk)
                    fail(run + ": the change after it failed with " + std::to_string(report.followUpStatus));
                // The change after the call is in both references too.
                const StoredProject found = reopen(g_work);
                if (std::string wrong = judge(found, before, after); !wrong.empty()) fail(run + ": " + wrong);
                if (readWholeFile(at("memory.txt")) != found.project)
                    fail(run + ": the project in memory differs from the one on disk");
            }
            counts += (counts.empty() ? "" : ", ") + std::to_string(points) +
                      (mode.sticky ? " failing from then on (EIO)" : " failing once (ENOSPC)");
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("%-36s %2ld writes; failure points: %s; %.1f s\n", name, clean.writes, counts.c_str(), seconds);
    }
    std::system(("rm -rf '" + std::string(pattern) + "'").c_str());
    std::printf("%s\n", failures == 0 ? "every failure point passed" : "FAILED");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "child") return runChild(argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <write failure shim>\n", argv[0]);
        return 2;
    }
    setEngineLogLevel(0);  // the parent's reopen must not add to the output
    return runSweep(argv[0], argv[1]);
}
