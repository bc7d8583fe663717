// ParseShortCut and FormatShortCut on the host's keyboard services. A text
// is read by comparing it with every key code's earlier name from 8 upwards,
// the layout's among them, then with our own names, so a key by our own name,
// and a text that matches none, cost the most. Each case is
// labelled with what it returns.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "portable/shortcut.h"

namespace {

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%04X", value);
    return text;
}

void Parse(benchmark::State& state, const std::string& text) {
    TShortCut value = 0;
    for (auto _ : state) {
        value = ParseShortCut(text);
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel("\"" + text + "\" -> " + Hex(value));
}

void Format(benchmark::State& state, TShortCut value) {
    std::string text;
    for (auto _ : state) {
        text = FormatShortCut(value);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetLabel(Hex(value) + " -> \"" + text + "\"");
}

}  // namespace

BENCHMARK_CAPTURE(Parse, ctrl_alt_p, std::string("Ctrl+Alt+P"));
BENCHMARK_CAPTURE(Parse, shift_ctrl_alt_f24, std::string("Shift+Ctrl+Alt+F24"));
BENCHMARK_CAPTURE(Parse, caret_a, std::string("^a"));
BENCHMARK_CAPTURE(Parse, ctrl_alt_vk_bf, std::string("Ctrl+Alt+VK_BF"));
BENCHMARK_CAPTURE(Parse, no_such_key, std::string("Ctrl+Alt+NoSuchKey"));
BENCHMARK_CAPTURE(Parse, empty, std::string(""));
BENCHMARK_CAPTURE(Format, ctrl_alt_p, static_cast<TShortCut>(scCtrl | scAlt | 'P'));
BENCHMARK_CAPTURE(Format, shift_ctrl_alt_f24, static_cast<TShortCut>(scShift | scCtrl | scAlt | 0x87));
BENCHMARK_CAPTURE(Format, ctrl_enter, static_cast<TShortCut>(scCtrl | 0x0D));
// A punctuation key, by a name of our own.
BENCHMARK_CAPTURE(Format, alt_semicolon, static_cast<TShortCut>(scAlt | 0xBA));

BENCHMARK_MAIN();
