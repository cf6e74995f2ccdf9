// The steps of the scale benchmark (engine/bench/scale.sh), one per command,
// each through the engine's entry points in a process of its own and timed
// with a monotonic clock:
//   generate <folder> <count>            writes <count> small C files
//   add <location> <name> <list> [build] creates the project when missing, adds every file listed
//                                        (build: each naming a build compiler of 350 predefined macros,
//                                        written and registered as the client does)
//   open <location> <name>               opens the project and lists its files
//   aggregate <location> <name> [trace]  opens the project and brings its results up to date
//                                        (trace: the engine's traces on standard error, among them
//                                        the launcher's measured step cost and the run size chosen)
//   uptodate <location> <name>           opens the project and asks whether each file's results are up
//                                        to date, as the client does around an analysis (fails when one is not)
//   options <location> <name>            the cppcheck options of the project's first file
//   findings <location> <name>           every stored finding, one line each, sorted
//   report <cppcheck-xml>                the findings of a cppcheck report, the same way
//   time <program> <arguments...>        runs a program (no shell) and times it
// Timed commands print "<command> <seconds> s <count> files, cpu <seconds> s
// (own <seconds> s), peak <MB> MB": the wall time of the step, the processor
// time of the process and of every process it ran (cppcheck's included), the
// process's own (the engine's work, without the analyser's), and the
// process's own peak resident memory.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "engine/analysis/Analysis.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/entry/EntryPoints.h"
#include "engine/store/FileSystem.h"

namespace {

using namespace kerv::engine;
using Clock = std::chrono::steady_clock;

double cpuSeconds(int who) {
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    rusage usage{};
    ::getrusage(who, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void printTime(const char* step, Clock::time_point start, size_t files) {
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    const double own = cpuSeconds(RUSAGE_SELF);
    std::printf("%s %.3f s %zu files, cpu %.3f s (own %.3f s), peak %ld MB\n", step, seconds, files,
                own + cpuSeconds(RUSAGE_CHILDREN), own, self.ru_maxrss / 1024);
}

std::vector<std::string> projectFiles() {
    VQStrings_C* list = nullptr;
    std::vector<std::string> files;
    if (getFiles(&list) != kOk || !list) return files;
    files.reserve(list->count);
    for (uint32_t i = 0; i < list->count; ++i) files.emplace_back(list->strings[i]);
    return files;
}

// One line per finding: its id, message and every location, so that two
// lists compare finding by finding.
std::string describe(const Finding& finding) {
    std::string line = finding.id + " \"" + finding.message + "\"";
    for (const auto& location : finding.locations)
        line.append(" ")
            .append(location.file)
            .append(":")
            .append(std::to_string(location.line))
            .append(":")
            .append(std::to_string(location.column));
    return line;
}

int generate(const std::string& folder, int count) {
    makeDirectory(folder);
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        std::string text = "#include <stdlib.h>\n\nstruct item";
        text.append(n).append(" {\n    int key;\n    char name[16];\n};\n\nint sum").append(n);
        text.append("(const struct item").append(n).append("* items, int count) {\n    int total = 0;\n");
        text.append("    for (int i = 0; i < count; i++) total += items[i].key;\n    return total;\n}\n");
        if (i % 3 == 0)
            text.append("int broken").append(n).append("(void) {\n    int* missing = NULL;\n    return *missing;\n}\n");
        std::string file = folder;
        std::ofstream(file.append("/unit").append(n).append(".c")) << text;
    }
    return 0;
}

// A compiler configuration the size of gcc's predefined macros for C (about
// 350), of the same kinds: numbers, type names, function-like macros.
std::string buildCompilerText() {
    static const char* const kKinds[4][2] = {{"__BENCH_MAX_", "__=0x7fffffffffffffffL"},
                                             {"__BENCH_TYPE_", "__=long unsigned int"},
                                             {"__BENCH_C_", "(c)=c ## UL"},
                                             {"__BENCH_FLT_", "__=1.79769313486231570814527423731704357e+308L"}};
    std::string text = "# The predefined macros of a compiler for the files it compiles.\n[C]\nstandard = c11\n";
    for (int i = 0; i < 350; ++i)
        text.append("define = ").append(kKinds[i % 4][0]).append(std::to_string(i)).append(kKinds[i % 4][1]) += '\n';
    return text;
}

int add(const std::string& location, const std::string& name, const std::string& listFile, bool build) {
    std::ifstream list(listFile);
    std::vector<std::string> files;
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) files.push_back(line);
    if (isVQFProject(location.c_str(), name.c_str()) == 0) {
        if (createProject(location.c_str(), name.c_str(), "", "", "") != kOk) return 1;
    } else if (initProjectMngr("", location.c_str(), name.c_str()) != kOk) {
        return 1;
    }
    std::vector<char*> includes;
    const std::string compilers = location + "/" + name + "/compilers";
    std::string cct = compilers + "/bench.cct";
    if (build) {
        makeDirectory(compilers);
        std::ofstream(cct) << buildCompilerText();
        if (addCCT(cct.c_str()) != kOk) return 1;
        includes.push_back(cct.data());
    }
    auto start = Clock::now();
    for (const auto& file : files)
        if (addFile(VQ_SOURCE_LANGUAGE_C, file.c_str(), 0, nullptr, static_cast<unsigned>(includes.size()),
                    includes.data()) != kOk)
            return 1;
    shutdownApi();  // folds the journal
    printTime("add", start, files.size());
    return 0;
}

int open(const std::string& location, const std::string& name) {
    auto start = Clock::now();
    if (initProjectMngr("", location.c_str(), name.c_str()) != kOk) return 1;
    size_t count = projectFiles().size();
    printTime("open", start, count);
    return 0;
}

int aggregateProject(const std::string& location, const std::string& name, bool trace) {
    // Failures always, traces on request: the engine is silent by default.
    setLogLevel(static_cast<VQLogLevel_C>(trace ? 2 : 1));
    auto start = Clock::now();
    if (initResults("", location.c_str(), name.c_str()) != kOk) return 1;
    size_t count = projectFiles().size();
    aggregate(nullptr);
    printTime("aggregate", start, count);
    for (const auto& file : projectFiles())
        if (!hasResults(file.c_str())) return 1;
    return 0;
}

int upToDate(const std::string& location, const std::string& name) {
    setLogLevel(static_cast<VQLogLevel_C>(1));
    auto start = Clock::now();
    if (initResults("", location.c_str(), name.c_str()) != kOk) return 1;
    const std::vector<std::string> files = projectFiles();
    size_t current = 0;
    for (const auto& file : files) current += hasUptoDateResults(file.c_str());
    printTime("uptodate", start, files.size());
    return current == files.size() ? 0 : 1;
}

int options(const std::string& location, const std::string& name) {
    if (initProjectMngr("", location.c_str(), name.c_str()) != kOk) return 1;
    Session& s = session();
    if (!s.project || s.project->files.empty()) return 1;
    const AnalyzerInfo& analyzer = analyzerInfo(s);
    AnalysisPlanner planner;
    if (planner.load(*s.project, analyzer.path, analyzer.version) != kOk) return 1;
    const std::vector<std::string> arguments = planner.plan(*s.project->files.begin()).arguments();
    for (size_t i = 1; i + 1 < arguments.size(); ++i) std::printf("%s\n", arguments[i].c_str());
    return 0;
}

int findings(const std::string& location, const std::string& name) {
    if (initResults("", location.c_str(), name.c_str()) != kOk) return 1;
    std::set<std::string> lines;
    for (const auto& [path, result] : session().results->all())
        for (const auto& finding : result.findings) lines.insert(describe(finding));
    for (const auto& line : lines) std::printf("%s\n", line.c_str());
    return 0;
}

int report(const std::string& xmlFile) {
    auto xml = readWholeFile(xmlFile);
    std::vector<Finding> found;
    if (!xml || !readReport(*xml, found)) return 1;
    std::set<std::string> lines;
    for (const auto& finding : found) lines.insert(describe(finding));
    for (const auto& line : lines) std::printf("%s\n", line.c_str());
    return 0;
}

int timeCommand(const std::vector<std::string>& command) {
    auto start = Clock::now();
    bool ok = false;
    runChildren({ChildCommand{command, 0}}, 1,
                [&](size_t, const ChildOutcome& outcome) { ok = outcome.exitedNormally && outcome.exitCode == 0; });
    printTime("run", start, 0);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args[0];
    if (command == "generate" && args.size() == 3) return generate(args[1], std::stoi(args[2]));
    if (command == "add" && (args.size() == 4 || (args.size() == 5 && args[4] == "build")))
        return add(args[1], args[2], args[3], args.size() == 5);
    if (command == "open" && args.size() == 3) return open(args[1], args[2]);
    if (command == "aggregate" && (args.size() == 3 || (args.size() == 4 && args[3] == "trace")))
        return aggregateProject(args[1], args[2], args.size() == 4);
    if (command == "uptodate" && args.size() == 3) return upToDate(args[1], args[2]);
    if (command == "options" && args.size() == 3) return options(args[1], args[2]);
    if (command == "findings" && args.size() == 3) return findings(args[1], args[2]);
    if (command == "report" && args.size() == 2) return report(args[1]);
    if (command == "time" && args.size() >= 2) return timeCommand({args.begin() + 1, args.end()});
    std::cerr << "usage: see the head of engine/bench/ScaleDriver.cpp\n";
    return 2;
}
