// Time of DeserializeMessageArray (and releasing its result) for growing
// message lists: the time must grow linearly with the number of messages.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "utils/MessageReader.h"

namespace {

// `count` messages; with `stray`, each is preceded by a closing tag without
// an opening one, which makes the reader start that message's body over.
std::string messageList(int count, bool stray) {
    std::string text = "<VQE>";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        if (stray) text += "</VQM>";
        text += "<VQM><UMID>MSG-" + n + "</UMID><HFL>help/rule" + std::to_string(i % 300) +
                ".html</HFL><ML>VQ_ERROR</ML><MN>" + std::to_string(1000 + i % 500) + "</MN><MT>Value of index" + n +
                " may be &lt; 0 &amp; is used to access &apos;buf&apos;, which holds 64 elements</MT>"
                "<P>analyzer</P><R><![CDATA[REF-" +
                n + "]]></R><R><![CDATA[see section " + n + "]]></R></VQM>\n";
    }
    return text + "</VQE>";
}

void release(VQMessageArray_C* messages) {
    Utils::FreeMessageArray(messages);
    for (uint32_t i = 0; i < messages->count; ++i) std::free(messages->messages[i]);
    std::free(messages);
}

void BM_DeserializeMessageArray(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string text = messageList(count, state.range(1) != 0);
    for (auto _ : state) {
        VQMessageArray_C* messages = Utils::DeserializeMessageArray(text.c_str());
        if (!messages || messages->count != static_cast<uint32_t>(count)) {
            state.SkipWithError("wrong number of messages");
            return;
        }
        release(messages);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["bytes_per_message"] = static_cast<double>(text.size()) / count;
}

}  // namespace

BENCHMARK(BM_DeserializeMessageArray)
    ->ArgNames({"messages", "stray_closing_tags"})
    ->ArgsProduct({{16000, 32000, 64000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
