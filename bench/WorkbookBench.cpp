// Reading a 1000 x 100 styled workbook into a cell table: open it and import its selection.
// Run through scripts/bench, which writes the workbook and times openpyxl beside it.
#include "excel/Import.h"
#include "excel/WorkbookSource.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_WorkbookIntoCells(benchmark::State& state) {
    const char* path = std::getenv("SHEETLIFT_BENCH_WORKBOOK");
    if (!path) {
        state.SkipWithError("SHEETLIFT_BENCH_WORKBOOK is not set");
        return;
    }
    for (auto _ : state) {
        auto source = sheetlift::OpenWorkbookSource(path);
        sheetlift::CellTable table;
        sheetlift::TextGrid texts;
        sheetlift::TextGridSink sink(texts);
        sheetlift::ImportSelection(*source, sink, table, sheetlift::Settings{});
        benchmark::DoNotOptimize(table.cellAttrs.data());
        state.counters["cells"] = double(table.cellAttrs.size());
    }
}
BENCHMARK(BM_WorkbookIntoCells)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
