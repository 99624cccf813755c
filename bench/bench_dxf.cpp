// Drawing export figures: the whole DXF export of a large table, a single write of the same
// bytes (the limit of the last step), the drawing kept as entities, the SVG picture, and the
// border consolidation against the pairwise passes.
#include "dxf/RuleLines.h"
#include "dxf/TableDxf.h"
#include "dxf/TableSvg.h"

#include "LiteralConsolidation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

struct Workload {
    CellTable table;
    TextGrid texts;
    Settings settings;
};

// Every cell with all four borders, `mergedShare` of the cells in merged areas, texts of one
// to three lines mixing Japanese and ASCII.
Workload MakeWorkload(int rows, int cols, double mergedShare) {
    Workload w;
    CellTable& t = w.table;
    t.cellRows = rows;
    t.cellCols = cols;
    t.cellAttrs.resize(std::size_t(rows) * cols);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> width(4, 20), height(12, 30), font(9, 12), align(0, 3);
    std::vector<int> colW(cols), rowH(rows);
    for (int& v : colW)
        v = width(rng);
    for (int& v : rowH)
        v = height(rng);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            TXlsxCellAttr& c = t.at(i, j);
            c.colW = std::uint16_t(colW[j]);
            c.rowH = std::uint16_t(rowH[i]);
            c.txtSize = std::uint16_t(font(rng));
            c.txtAlign = std::uint8_t(align(rng));
            c.lineBits = 15;
            c.mergerowYscount = c.mergecolXscount = 1;
        }
    const auto target = std::size_t(double(t.cellAttrs.size()) * mergedShare);
    std::size_t merged = 0;
    std::uniform_int_distribution<int> row(0, rows - 3), col(0, cols - 3), span(1, 3);
    while (merged < target) {
        const int i = row(rng), j = col(rng), r = span(rng), c = 1 + span(rng) % 2;
        bool free = true;
        for (int a = i; a < i + r; ++a)
            for (int b = j; b < j + c; ++b)
                free = free && !t.at(a, b).cellMerge;
        if (!free)
            continue;
        for (int a = i; a < i + r; ++a)
            for (int b = j; b < j + c; ++b) {
                t.at(a, b).cellMerge = true;
                t.at(a, b).mergerowYscount = std::uint16_t(r);
                t.at(a, b).mergecolXscount = std::uint16_t(c);
            }
        merged += std::size_t(r * c);
    }
    CalcCellLayout(t, w.settings);

    static const char* const kWords[] = {"品番",  "A-1024",  "数量", "12.5", "ｶﾅ", "備考",
                                         "Steel", "ＳＳ400", "寸法", "t=9",  "～", "合計"};
    std::uniform_int_distribution<int> lines(1, 3), words(1, 3), word(0, std::size(kWords) - 1);
    w.texts.Resize(rows, cols);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            std::string text;
            for (int l = lines(rng); l > 0; --l) {
                for (int k = words(rng); k > 0; --k)
                    text += kWords[word(rng)];
                if (l > 1)
                    text += '\n';
            }
            w.texts.SetText(i, j, std::move(text));
        }
    return w;
}

const Workload& Large() {
    static const Workload w = MakeWorkload(1000, 100, 0.05);
    return w;
}

fs::path TempFile(const char* name) {
    return fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
}

void BM_ExportTable1000x100(benchmark::State& state) {
    const Workload& w = Large();
    const fs::path path = TempFile("bench-export-");
    std::size_t bytes = 0;
    for (auto _ : state) {
        WriteTableDxf(w.table, w.texts, w.settings, true, path);
        bytes = fs::file_size(path);
    }
    state.SetBytesProcessed(std::int64_t(bytes) * state.iterations());
    state.counters["file_MB"] = double(bytes) / 1e6;
    fs::remove(path);
}
BENCHMARK(BM_ExportTable1000x100)->Unit(benchmark::kMillisecond);

void BM_BuildOnly1000x100(benchmark::State& state) {
    const Workload& w = Large();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string dxf = BuildTableDxf(w.table, w.texts, w.settings, true, {});
        bytes = dxf.size();
        benchmark::DoNotOptimize(dxf.data());
    }
    state.SetBytesProcessed(std::int64_t(bytes) * state.iterations());
}
BENCHMARK(BM_BuildOnly1000x100)->Unit(benchmark::kMillisecond);

// Building as the export does it, through the writer's fixed buffer, with the bytes counted
// and dropped: BuildOnly without holding the whole file.
void BM_BuildStreamed1000x100(benchmark::State& state) {
    struct CountingSink : ByteSink {
        std::size_t bytes = 0;
        void Write(std::string_view piece) override { bytes += piece.size(); }
    };
    const Workload& w = Large();
    std::size_t bytes = 0;
    for (auto _ : state) {
        CountingSink sink;
        DxfDrawingWriter writer(sink, {});
        DrawTable(w.table, w.texts, w.settings, true, writer);
        bytes = sink.bytes;
    }
    state.SetBytesProcessed(std::int64_t(bytes) * state.iterations());
}
BENCHMARK(BM_BuildStreamed1000x100)->Unit(benchmark::kMillisecond);

// The entities alone, kept in a Drawing as the window's preview keeps them.
void BM_DrawingOnly1000x100(benchmark::State& state) {
    const Workload& w = Large();
    std::size_t entities = 0;
    for (auto _ : state) {
        Drawing drawing;
        DrawingRecorder recorder(drawing);
        DrawTable(w.table, w.texts, w.settings, true, recorder);
        entities = drawing.lines.size() + drawing.outlines.size() + drawing.texts.size();
        benchmark::DoNotOptimize(drawing.lines.data());
    }
    state.counters["entities"] = double(entities);
}
BENCHMARK(BM_DrawingOnly1000x100)->Unit(benchmark::kMillisecond);

void BM_SvgBuildOnly1000x100(benchmark::State& state) {
    const Workload& w = Large();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = BuildTableSvg(w.table, w.texts, w.settings, true);
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.SetBytesProcessed(std::int64_t(bytes) * state.iterations());
}
BENCHMARK(BM_SvgBuildOnly1000x100)->Unit(benchmark::kMillisecond);

void BM_ExportSvg1000x100(benchmark::State& state) {
    const Workload& w = Large();
    const fs::path path = TempFile("bench-export-svg-");
    std::size_t bytes = 0;
    for (auto _ : state) {
        WriteTableSvg(w.table, w.texts, w.settings, true, path);
        bytes = fs::file_size(path);
    }
    state.SetBytesProcessed(std::int64_t(bytes) * state.iterations());
    state.counters["file_MB"] = double(bytes) / 1e6;
    fs::remove(path);
}
BENCHMARK(BM_ExportSvg1000x100)->Unit(benchmark::kMillisecond);

// One open, one write, one close of the export's bytes.
void BM_SingleWrite(benchmark::State& state) {
    const Workload& w = Large();
    const std::string dxf = BuildTableDxf(w.table, w.texts, w.settings, true, {});
    const fs::path path = TempFile("bench-write-");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0 || ::write(fd, dxf.data(), dxf.size()) != ssize_t(dxf.size()) || ::close(fd))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(std::int64_t(dxf.size()) * state.iterations());
    fs::remove(path);
}
BENCHMARK(BM_SingleWrite)->Unit(benchmark::kMillisecond);

// Only builds the table: the memory baseline for /usr/bin/time.
void BM_TableOnly(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(&Large());
}
BENCHMARK(BM_TableOnly)->Iterations(1);

template <int Rows, int Cols, int MergedPercent> BorderLines Collected() {
    const Workload w = MakeWorkload(Rows, Cols, MergedPercent / 100.0);
    BorderLines lines;
    CollectBorderLines(w.table, MakeTableEdges(w.table), lines);
    return lines;
}

template <void (*Consolidate)(BorderLines&), BorderLines (*Make)()>
void ConsolidateBench(benchmark::State& state) {
    static const BorderLines collected = Make();
    for (auto _ : state) {
        state.PauseTiming();
        BorderLines lines = collected;
        state.ResumeTiming();
        Consolidate(lines);
        benchmark::DoNotOptimize(lines.bordLinesV.data());
    }
    BorderLines fast = collected, literal = collected;
    ConsolidateBorderLines(fast);
    test::LiteralConsolidateBorderLines(literal);
    Drawing a, b;
    DrawingRecorder ra(a), rb(b);
    AddBorderLines(ra, fast);
    AddBorderLines(rb, literal);
    const auto same = [](const DrawingLine& x, const DrawingLine& y) {
        return x.start.x == y.start.x && x.start.y == y.start.y && x.end.x == y.end.x &&
               x.end.y == y.end.y;
    };
    if (!std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(), same))
        state.SkipWithError("fast and pairwise consolidation differ");
    state.counters["segments"] = double(collected.bordLinesV.size() + collected.bordLinesH.size());
}
BENCHMARK(ConsolidateBench<ConsolidateBorderLines, Collected<300, 40, 0>>)
    ->Name("BM_Consolidate300x40/fast")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ConsolidateBench<test::LiteralConsolidateBorderLines, Collected<300, 40, 0>>)
    ->Name("BM_Consolidate300x40/pairwise")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ConsolidateBench<ConsolidateBorderLines, Collected<1000, 100, 5>>)
    ->Name("BM_Consolidate1000x100merged/fast")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ConsolidateBench<test::LiteralConsolidateBorderLines, Collected<1000, 100, 5>>)
    ->Name("BM_Consolidate1000x100merged/pairwise")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
} // namespace sheetlift

BENCHMARK_MAIN();
