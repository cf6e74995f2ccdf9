// Wall-clock time of a full analysis (every file stale) of the example
// project and of a generated tree of 200 C files, with KERV_JOBS 1 and 2.
// The work happens in cppcheck child processes, so the times are real time;
// cppcheck_cpu_s is the CPU time those processes used per iteration.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/entry/EntryPoints.h"
#include "engine/store/FileSystem.h"

namespace {

using namespace kerv::engine;

// A plausible C unit of about 40 lines: a struct, loops, a lookup and, in
// every third file, a null dereference.
std::string generatedUnit(int index) {
    std::string n = std::to_string(index);
    std::string text = "#include <stdlib.h>\n#include <string.h>\n\nstruct item" + n +
                       " {\n    int key;\n    char name[16];\n};\n\n"
                       "static int sum" +
                       n + "(const struct item" + n +
                       "* items, int count) {\n"
                       "    int total = 0;\n    for (int i = 0; i < count; i++) {\n"
                       "        if (items[i].key > 0) total += items[i].key;\n    }\n    return total;\n}\n\n"
                       "int find" +
                       n + "(const struct item" + n +
                       "* items, int count, const char* name) {\n"
                       "    for (int i = 0; i < count; i++) {\n"
                       "        if (strcmp(items[i].name, name) == 0) return i;\n    }\n    return -1;\n}\n\n"
                       "int run" +
                       n + "(int count) {\n    struct item" + n +
                       "* items = calloc(count, sizeof *items);\n"
                       "    if (!items) return -1;\n    int total = sum" +
                       n + "(items, count) + find" + n + "(items, count, \"x\");\n    free(items);\n";
    if (index % 3 == 0) text += "    int* missing = NULL;\n    total += *missing;\n";
    return text + "    return total;\n}\n";
}

struct Tree {
    std::string folder;
    std::vector<std::string> files;
};

Tree makeTree(bool generated) {
    char pattern[] = "/tmp/kerv-bench-XXXXXX";
    Tree tree{::mkdtemp(pattern), {}};
    makeDirectory(tree.folder + "/src");
    if (generated) {
        for (int i = 0; i < 200; ++i) {
            tree.files.push_back(tree.folder + "/src/unit" + std::to_string(i) + ".c");
            writeFileAtomically(tree.files.back(), generatedUnit(i));
        }
    } else {
        for (const char* name : {"main.c", "records.c", "records.h", "shapes.cpp"}) {
            std::string target = tree.folder + "/src/" + name;
            writeFileAtomically(target, readWholeFile(std::string(KERV_EXAMPLES_DIR) + "/src/" + name).value_or(""));
            if (std::string(name).find(".h") == std::string::npos) tree.files.push_back(target);
        }
    }
    return tree;
}

void dropResults(const Tree& tree) {
    const std::string results = tree.folder + "/project/results";
    for (const std::string& name : listDirectory(results))
        std::filesystem::remove(std::filesystem::path(results) / name);
    clearCachedObjects();  // the results are read again, now empty
}

// CPU seconds of the finished child processes (the cppcheck runs) so far.
double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void analyse(benchmark::State& state, bool generated) {
    ::setenv("KERV_JOBS", std::to_string(state.range(0)).c_str(), 1);
    Tree tree = makeTree(generated);
    if (createProject(tree.folder.c_str(), "project", "", "", "") != kOk) state.SkipWithError("createProject failed");
    for (const auto& file : tree.files) {
        auto language = file.find(".cpp") != std::string::npos ? VQ_SOURCE_LANGUAGE_CPP : VQ_SOURCE_LANGUAGE_C;
        addFile(language, file.c_str(), 0, nullptr, 0, nullptr);
    }
    const double cpuBefore = childCpuSeconds();
    while (state.KeepRunning()) {
        state.PauseTiming();
        dropResults(tree);
        state.ResumeTiming();
        aggregate(nullptr);
    }
    if (!hasUptoDateResults(tree.files.back().c_str())) state.SkipWithError("the analysis left no results");
    state.counters["cppcheck_cpu_s"] =
        benchmark::Counter(childCpuSeconds() - cpuBefore, benchmark::Counter::kAvgIterations);
    state.counters["files"] = static_cast<double>(tree.files.size());
    state.counters["files_per_s"] =
        benchmark::Counter(static_cast<double>(tree.files.size()), benchmark::Counter::kIsIterationInvariantRate);
    shutdownApi();
    std::filesystem::remove_all(tree.folder);
}

void examples(benchmark::State& state) {
    analyse(state, false);
}
void generated200(benchmark::State& state) {
    analyse(state, true);
}

BENCHMARK(examples)->Arg(1)->Arg(2)->ArgName("jobs")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(generated200)->Arg(1)->Arg(2)->ArgName("jobs")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
