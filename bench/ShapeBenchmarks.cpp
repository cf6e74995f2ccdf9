// Our writers against the plain one-pass reference writer on the same
// records, at 100, 10,000 and 100,000 diagnostics or tree nodes.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "ReferenceWriter.h"
#include "ShapeCorpus.h"
#include "utils/DiagnosticWriter.h"
#include "utils/TreeWriter.h"

namespace {

RecordArena& arena() {
    static RecordArena instance;
    return instance;
}

VQDiagnosticArray_C* diagnostics(int count) {
    static std::map<int, VQDiagnosticArray_C*> made;
    auto& list = made[count];
    if (list == nullptr) list = ShapeCorpus::checkerDiagnostics(arena(), count);
    return list;
}

VQTrees_C* trees(int nodes) {
    static std::map<int, VQTrees_C*> made;
    auto& tree = made[nodes];
    if (tree == nullptr) tree = ShapeCorpus::groupedTree(arena(), nodes);
    return tree;
}

// Times `produce`, after checking that it writes exactly `expected`.
template <typename Produce>
void measure(benchmark::State& state, Produce produce, const std::string& expected) {
    if (produce() != expected) {
        state.SkipWithError("the two writers differ");
        return;
    }
    for (auto _ : state) {
        std::string text = produce();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * expected.size()));
}

void BM_Diagnostics_Ours(benchmark::State& state) {
    VQDiagnosticArray_C* list = diagnostics(static_cast<int>(state.range(0)));
    measure(
        state, [list] { return Utils::SerializeDiagnosticArray(list); }, ReferenceWriter::diagnostics(*list));
}
void BM_Diagnostics_Reference(benchmark::State& state) {
    VQDiagnosticArray_C* list = diagnostics(static_cast<int>(state.range(0)));
    measure(
        state, [list] { return ReferenceWriter::diagnostics(*list); }, Utils::SerializeDiagnosticArray(list));
}
void BM_Trees_Ours(benchmark::State& state) {
    VQTrees_C* tree = trees(static_cast<int>(state.range(0)));
    measure(
        state, [tree] { return Utils::SerializeTrees(tree); }, ReferenceWriter::trees(*tree));
}
void BM_Trees_Reference(benchmark::State& state) {
    VQTrees_C* tree = trees(static_cast<int>(state.range(0)));
    measure(
        state, [tree] { return ReferenceWriter::trees(*tree); }, Utils::SerializeTrees(tree));
}

}  // namespace

BENCHMARK(BM_Diagnostics_Ours)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Diagnostics_Reference)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Trees_Ours)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Trees_Reference)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
