// Reading a 1000 x 100 styled workbook: open it and ask every cell of its selection.
// Run through scripts/bench, which writes the workbook and times openpyxl beside it.
#include "excel/WorkbookSource.h"
#include "model/CellTable.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void BM_WorkbookIntoCells(benchmark::State& state) {
    const char* path = std::getenv("SHEETLIFT_BENCH_WORKBOOK");
    if (!path) {
        state.SkipWithError("SHEETLIFT_BENCH_WORKBOOK is not set");
        return;
    }
    for (auto _ : state) {
        auto source = sheetlift::OpenWorkbookSource(path);
        const auto range = source->Selection();
        std::vector<sheetlift::SourceCell> cells;
        cells.reserve(std::size_t(range.rows) * std::size_t(range.columns));
        std::vector<std::string> letters;
        for (int j = 0; j < range.columns; ++j)
            letters.push_back(sheetlift::ColumnLetters(range.column + j));
        for (int i = 0; i < range.rows; ++i)
            for (int j = 0; j < range.columns; ++j)
                cells.push_back(
                    source->Cell(letters[std::size_t(j)] + std::to_string(range.row + i)));
        benchmark::DoNotOptimize(cells.data());
        state.counters["cells"] = double(cells.size());
    }
}
BENCHMARK(BM_WorkbookIntoCells)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
