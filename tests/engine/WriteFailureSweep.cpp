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
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/entry/EntryPoints.h"
#include "engine/store/FileSystem.h"
#include "engine/store/Project.h"
#include "engine/store/ResultsStore.h"

using namespace kerv::engine;

namespace {

const char* const kProjectName = "p";

struct Paths {
    std::string work;  // the project location and the XDG folders
    std::string file(const char* name) const { return work + "/" + name; }
};

int addSource(const Paths& paths, const char* name) {
    const std::string file = paths.file(name);
    return addFile(static_cast<VQSourceLanguage_C>(0), file.c_str(), 0, nullptr, 0, nullptr);
}

// a.c again with a define of 8 KiB: the eighth such change takes the
// journal past the size at which a change folds it into the project file.
int addWithLargeDefine(const Paths& paths) {
    const std::string file = paths.file("a.c");
    std::string define = "D" + std::to_string(std::rand()) + "=" + std::string(8192, 'x');
    char* defines[] = {define.data()};
    return addFile(static_cast<VQSourceLanguage_C>(0), file.c_str(), 1, defines, 0, nullptr);
}

int create(const Paths& paths) {
    return createProject(paths.work.c_str(), kProjectName, "", "", "");
}

int createWithSources(const Paths& paths) {
    int status = create(paths);
    if (status == kOk) status = addSource(paths, "a.c");
    if (status == kOk) status = addSource(paths, "b.c");
    return status;
}

struct Scenario {
    const char* name;
    std::function<int(const Paths&)> setup;
    std::function<int(const Paths&)> call;  // its status; 0 for the calls that return none
    // False where the state reopened after the change that follows is the
    // same with and without the call (a fold; a project made by the change).
    bool changesWhatReopens = true;
    // False for the calls without a status: a failure shows as a line on
    // standard error.
    bool returnsStatus = true;
};

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all = {
        {"createProject", [](const Paths&) { return kOk; }, create, false},
        {"addFile (new journal)", create, [](const Paths& p) { return addSource(p, "a.c"); }},
        {"addFile (journal appended)", [](const Paths& p) { return create(p) == kOk ? addSource(p, "a.c") : -1; },
         [](const Paths& p) { return addSource(p, "b.c"); }},
        {"removeFile",
         [](const Paths& p) {
             int status = createWithSources(p);
             aggregate(nullptr);  // so that the removal drops results too
             return status;
         },
         [](const Paths& p) { return removeFile(p.file("a.c").c_str()); }},
        {"addFile folding the journal",
         [](const Paths& p) {
             int status = create(p);
             for (int i = 0; i < 7 && status == kOk; ++i) status = addWithLargeDefine(p);
             return status;
         },
         addWithLargeDefine},
        {"fold of the journal (shutdownApi)", createWithSources,
         [](const Paths&) {
             shutdownApi();
             return kOk;
         },
         false, false},
        {"addCCT", create, [](const Paths& p) { return addCCT(p.file("compiler.cct").c_str()); }},
        {"setActiveCCT", [](const Paths& p) { return create(p) == kOk ? addCCT(p.file("compiler.cct").c_str()) : -1; },
         [](const Paths&) { return setActiveCCT(static_cast<VQSourceLanguage_C>(0), "compiler.cct"); }},
        {"setCurrentLanguage", create,
         [](const Paths&) {
             setCurrentLanguage(static_cast<VQLanguage_C>(0));
             return kOk;
         },
         true, false},
        {"setWorkspace", create,
         [](const Paths& p) {
             setWorkspace(p.file("workspace").c_str());
             return kOk;
         },
         true, false},
        {"aggregate", createWithSources,
         [](const Paths&) {
             aggregate(nullptr);
             return kOk;
         },
         true, false},
    };
    return all;
}

// ---- the child: one call with one failing write ---------------------------

bool writeText(const std::string& path, const std::string& text) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    bool ok = std::fputs(text.c_str(), out) >= 0;
    return std::fclose(out) == 0 && ok;
}

void prepareSources(const Paths& paths) {
    const char* source = "int f(int i) { int a[2] = {0, 1}; return a[i] + a[2]; }\n";
    for (const char* name : {"a.c", "b.c", "follow.c"}) writeText(paths.file(name), source);
    writeText(paths.file("compiler.cct"),
              readWholeFile(std::string(KERV_EXAMPLES_DIR) + "/config/compiler.cct").value_or(""));
}

// The change after the call: the project is opened again when the call
// closed it or could not make it.
int followUp(const Paths& paths) {
    int status = addSource(paths, "follow.c");
    if (status != kNoProject) return status;
    if (initProjectMngr("", paths.work.c_str(), kProjectName) != kOk && create(paths) != kOk) return -1;
    return addSource(paths, "follow.c");
}

template <class Function>
Function shimFunction(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// argv: child <scenario> <work folder> <run the call: 0/1>
int runChild(char** argv) {
    const Scenario& scenario = scenarios().at(std::strtoul(argv[2], nullptr, 10));
    const Paths paths{argv[3]};
    const bool runCall = std::string(argv[4]) == "1";
    ::setenv("XDG_CONFIG_HOME", paths.file("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", paths.file("data").c_str(), 1);
    prepareSources(paths);
    if (scenario.setup(paths) != kOk) {
        std::fprintf(stderr, "setup of %s failed\n", scenario.name);
        return 2;
    }
    auto arm = shimFunction<void (*)()>("kervFaultArm");
    auto disarm = shimFunction<long (*)()>("kervFaultDisarm");
    auto injected = shimFunction<long (*)()>("kervFaultInjected");
    if (!arm || !disarm || !injected) {
        std::fprintf(stderr, "the write failure shim is not loaded\n");
        return 2;
    }
    // The call's own lines on standard error tell whether it reported a
    // failure; they are passed on afterwards.
    const std::string errors = paths.file("call-stderr.txt");
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    const int capture = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ::dup2(capture, 2);
    ::close(capture);
    arm();
    const int status = runCall ? scenario.call(paths) : kOk;
    const long writes = disarm();
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    const std::string logged = readWholeFile(errors).value_or("");
    std::fputs(logged.c_str(), stderr);
    const bool reported = status != kOk || (!scenario.returnsStatus && logged.find("libKERV: ") != std::string::npos);
    const int followed = followUp(paths);
    // What this process holds of the project, for the parent to compare with
    // what it reopens.
    Session& s = session();
    writeText(paths.file("memory.txt"), s.project ? serialiseProject(*s.project) : "");
    std::printf("%ld %ld %d %d\n", writes, injected(), reported ? 1 : 0, followed);
    std::fflush(stdout);
    ::_exit(0);  // no closing fold: the project stays as the call left it
}

// ---- the parent ------------------------------------------------------------

struct ChildReport {
    long writes = 0;
    long injected = 0;
    bool reported = false;
    int followUpStatus = -1;
};

struct Injection {
    long at = 0;  // 0: none
    int error = ENOSPC;
    bool sticky = false;
};

bool runInChild(const std::string& self, const std::string& shim, size_t scenario, const std::string& work,
                bool runCall, Injection injection, ChildReport& report) {
    std::system(("rm -rf '" + work + "'").c_str());
    if (!makeDirectory(work)) return false;
    int out[2];
    if (::pipe(out) != 0) return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::setenv("LD_PRELOAD", shim.c_str(), 1);
        ::setenv("KERV_FAULT_AT", std::to_string(injection.at).c_str(), 1);
        ::setenv("KERV_FAULT_ERRNO", std::to_string(injection.error).c_str(), 1);
        ::setenv("KERV_FAULT_STICKY", injection.sticky ? "1" : "0", 1);
        // In a sanitizer build the shim comes before the sanitizer's runtime.
        const char* asan = std::getenv("ASAN_OPTIONS");
        ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
        const std::string index = std::to_string(scenario);
        ::execl(self.c_str(), self.c_str(), "child", index.c_str(), work.c_str(), runCall ? "1" : "0", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) return false;
    int reported = 0;
    std::istringstream in(text);
    in >> report.writes >> report.injected >> reported >> report.followUpStatus;
    report.reported = reported != 0;
    return static_cast<bool>(in);
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
    const std::string work = std::string(pattern) + "/work";
    int failures = 0;
    auto fail = [&failures](const std::string& what) {
        std::fprintf(stderr, "FAIL %s\n", what.c_str());
        ++failures;
    };
    for (size_t index = 0; index < scenarios().size(); ++index) {
        const char* name = scenarios()[index].name;
        const auto started = std::chrono::steady_clock::now();
        ChildReport clean;
        if (!runInChild(self, shim, index, work, false, {}, clean)) {
            fail(std::string(name) + ": the run without the call failed");
            continue;
        }
        const StoredProject before = reopen(work);
        if (!runInChild(self, shim, index, work, true, {}, clean) || clean.reported || clean.followUpStatus != kOk) {
            fail(std::string(name) + ": the run without a failing write failed");
            continue;
        }
        const StoredProject after = reopen(work);
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
                if (!runInChild(self, shim, index, work, true, injection, report)) {
                    fail(run + ": the child failed");
                    break;
                }
                if (report.injected == 0) break;  // the call made fewer writes
                ++points;
                if (!report.reported) fail(run + ": the call reported success");
                if (report.followUpStatus != kOk)
                    fail(run + ": the change after it failed with " + std::to_string(report.followUpStatus));
                // The change after the call is in both references too.
                const StoredProject found = reopen(work);
                if (std::string wrong = judge(found, before, after); !wrong.empty()) fail(run + ": " + wrong);
                if (readWholeFile(work + "/memory.txt") != found.project)
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
