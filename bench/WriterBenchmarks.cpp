// Throughput (output bytes per second) and peak extra memory of the writers,
// against pugixml building the same document and saving it compactly.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchCorpus.h"
#include "MemoryCounter.h"
#include "utils/DiagnosticWriter.h"
#include "utils/RuleWriter.h"
#include "utils/TreeWriter.h"
#include "utils/XmlPrimitives.h"

namespace {

struct Corpus {
    Corpus()
        : diagnostics(BenchCorpus::diagnostics(arena, 100000)),
          trees(BenchCorpus::trees(arena, 100, 1000)),
          ruleGroups(BenchCorpus::ruleGroups(arena, 50, 400)) {
        pugi::set_memory_management_functions(MemoryCounter::CountedAllocate, MemoryCounter::CountedFree);
    }
    RecordArena arena;
    VQDiagnosticArray_C* diagnostics;
    VQTrees_C* trees;
    VQRuleGroupArray_C* ruleGroups;
};

const Corpus& corpus() {
    static const Corpus instance;
    return instance;
}

// Runs `produce` (which returns the document text) in the timed loop and
// reports output bytes per second and the peak extra memory of one run in
// units of the output size. `reference` is what the document must equal.
template <typename Produce>
void measure(benchmark::State& state, Produce produce, const std::string& reference) {
    std::string output;
    const std::size_t peak = MemoryCounter::PeakExtraBytes([&] { output = produce(); });
    if (output != reference) {
        state.SkipWithError("output differs from the library's document");
        return;
    }
    output = std::string();
    for (auto _ : state) {
        std::string text = produce();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reference.size()));
    state.counters["output_MB"] = static_cast<double>(reference.size()) / 1e6;
    state.counters["peak_extra_per_output_byte"] = static_cast<double>(peak) / static_cast<double>(reference.size());
}

template <typename Build>
std::string buildWithPugi(Build build) {
    pugi::xml_document document;
    build(document);
    return BenchCorpus::save(document);
}

void BM_Diagnostics_Library(benchmark::State& state) {
    auto produce = [] { return Utils::SerializeDiagnosticArray(corpus().diagnostics); };
    measure(state, produce, produce());
}
void BM_Diagnostics_Pugixml(benchmark::State& state) {
    auto produce = [] {
        return buildWithPugi([](pugi::xml_document& d) { BenchCorpus::pugiDiagnostics(d, *corpus().diagnostics); });
    };
    measure(state, produce, Utils::SerializeDiagnosticArray(corpus().diagnostics));
}

void BM_Trees_Library(benchmark::State& state) {
    auto produce = [] { return Utils::SerializeTrees(corpus().trees); };
    measure(state, produce, produce());
}
void BM_Trees_Pugixml(benchmark::State& state) {
    auto produce = [] {
        return buildWithPugi([](pugi::xml_document& d) { BenchCorpus::pugiTrees(d, *corpus().trees); });
    };
    measure(state, produce, Utils::SerializeTrees(corpus().trees));
}

void BM_RuleGroups_Library(benchmark::State& state) {
    auto produce = [] { return Utils::SerializeRuleGroups(corpus().ruleGroups); };
    measure(state, produce, produce());
}
void BM_RuleGroups_Pugixml(benchmark::State& state) {
    auto produce = [] {
        return buildWithPugi([](pugi::xml_document& d) { BenchCorpus::pugiRuleGroups(d, *corpus().ruleGroups); });
    };
    measure(state, produce, Utils::SerializeRuleGroups(corpus().ruleGroups));
}

// 1 MB of text; `markupPercent` of its bytes are markup characters.
std::string textWithMarkup(int markupPercent) {
    const std::string markup = "&<>'\"";
    std::string text(1000000, 'x');
    uint32_t seed = 12345;
    for (std::size_t i = 0; i < text.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t draw = seed >> 8;
        text[i] = static_cast<int>(draw % 100) < markupPercent ? markup[draw % markup.size()]
                                                               : static_cast<char>('a' + draw % 26);
    }
    return text;
}

void BM_ValidateForXML(benchmark::State& state) {
    const std::string text = textWithMarkup(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string escaped = Utils::ValidateForXML(text);
        benchmark::DoNotOptimize(escaped.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_Diagnostics_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diagnostics_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trees_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trees_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RuleGroups_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RuleGroups_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateForXML)->ArgName("markup_percent")->Arg(10)->Arg(0)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

namespace {
void BM_SmallRuleGroups_Library(benchmark::State& state) {
    static RecordArena arena;
    static VQRuleGroupArray_C* groups = BenchCorpus::ruleGroups(arena, 1, 200);
    auto produce = [] { return Utils::SerializeRuleGroups(groups); };
    measure(state, produce, produce());
}
void BM_SmallRuleGroups_Pugixml(benchmark::State& state) {
    static RecordArena arena;
    static VQRuleGroupArray_C* groups = BenchCorpus::ruleGroups(arena, 1, 200);
    auto produce = [] { return buildWithPugi([](pugi::xml_document& d) { BenchCorpus::pugiRuleGroups(d, *groups); }); };
    measure(state, produce, Utils::SerializeRuleGroups(groups));
}
}  // namespace
BENCHMARK(BM_SmallRuleGroups_Library);
BENCHMARK(BM_SmallRuleGroups_Pugixml);
