// Per-cell speed of the text conversions: 100,000 cells of mixed Japanese table text.
#include "textconv/RangeText.h"
#include "textconv/TextFunctions.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <string>
#include <vector>

namespace sheetlift {
namespace {

constexpr int kRows = 1000;
constexpr int kCols = 100;

// Texts as they come from a Japanese table: numbers, codes, kanji, both widths of kana,
// letters and symbols, multi-line cells.
std::vector<std::string> MixedTexts() {
    const char* samples[] = {
        "1,234.5",        "2023",           "ＳＵＳ３０４　Ｔ＝１２", "鉄筋コンクリート造",
        "ｺﾝｸﾘｰﾄ ﾌﾞﾛｯｸ",   "A-12",           "（株）山田建設",         "φ100 ﾊﾟｲﾌﾟ",
        "合計",           "ﾃﾞｰﾀ１２３",     "ａｂｃ＠ｅｘａｍｐｌｅ", "W=1,200 H=2,400",
        "備考：別途協議", "第２工区\n北側", "ｶﾞｽ管 ＃２０",           "￥12,000-",
    };
    std::vector<std::string> texts;
    texts.reserve(kRows * kCols);
    for (int k = 0; k < kRows * kCols; ++k)
        texts.push_back(samples[k % std::size(samples)] + std::to_string(k % 7));
    return texts;
}

void Convert(benchmark::State& state, TextRoutine routine) {
    const std::vector<std::string> texts = MixedTexts();
    for (auto _ : state) {
        for (const std::string& text : texts)
            benchmark::DoNotOptimize(routine(text));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}

// The whole command: a 1000 x 100 selection rewritten in place.
void ConvertWholeRange(benchmark::State& state, TextRoutine routine) {
    const std::vector<std::string> texts = MixedTexts();
    TextGrid grid(kRows, kCols);
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 0; k < kRows * kCols; ++k)
            grid.SetText(k / kCols, k % kCols, texts[k]);
        state.ResumeTiming();
        ConvertRange(grid, {.left = 1, .top = 1, .right = kCols, .bottom = kRows}, routine);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}

BENCHMARK_CAPTURE(Convert, ToFullWidth, ToFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, ToHalfWidth, ToHalfWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, ToFullWidthUnlessNumeric, ToFullWidthUnlessNumeric)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, FullDigitsToHalf, FullDigitsToHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, FullAlphaToHalf, FullAlphaToHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, FullSymbolsToHalf, FullSymbolsToHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, HalfKanaToFull, HalfKanaToFull)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ConvertWholeRange, ToFullWidth, ToFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ConvertWholeRange, HalfKanaToFull, HalfKanaToFull)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace sheetlift

BENCHMARK_MAIN();
