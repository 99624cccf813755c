// The window's side of a large table: importing 100,000 cells through the real handler and
// repainting the visible grid, offscreen.
#include "app/MainWindow.h"
#include "app/PreviewPage.h"
#include "app/Prompt.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 1000;
constexpr int kColumns = 100;

// Answers the file question with the snapshot and every box with OK.
class QuietPrompt : public Prompt {
  public:
    explicit QuietPrompt(QString file) : file_(std::move(file)) {}
    void Inform(QWidget*, const QString&, const QString&) override {}
    bool Confirm(QWidget*, const QString&) override { return true; }
    void ShowError(QWidget*, const QString& text) override { qFatal("%s", qPrintable(text)); }
    QString ChooseFile(QWidget*, const QString&) override { return file_; }
    QString ChooseSaveFile(QWidget*, const QString&) override { return {}; }
    bool RunDialog(QDialog&) override { return false; }

  private:
    QString file_;
};

// A 1000 x 100 selection with a merged header row, mixed alignments and a few two-line texts.
QString WriteSnapshot(const QTemporaryDir& dir) {
    QByteArray json = "{\"format\":\"sheetlift-selection\",\"version\":1,\"workbook\":\"Book1\","
                      "\"sheet\":\"Sheet1\",\"row\":1,\"column\":1,\"rows\":" +
                      QByteArray::number(kRows) + ",\"columns\":" + QByteArray::number(kColumns) +
                      ",\"cells\":[\n";
    for (int i = 0; i < kRows; ++i)
        for (int j = 0; j < kColumns; ++j) {
            const bool merged = i == 0 && j < 4;
            QByteArray text = i % 7 == 0 ? "部品 " + QByteArray::number(j) + "\\n型式"
                                         : QByteArray::number(i * kColumns + j);
            json += "{\"columnWidth\":8.43,\"rowHeight\":18.75,\"horizontalAlignment\":" +
                    QByteArray(j % 3 == 0 ? "-4108" : "1") + ",\"fontSize\":11,\"text\":\"" + text +
                    "\",\"value2\":\"" + text +
                    "\",\"borders\":{\"top\":1,\"bottom\":1,\"left\":1,\"right\":1},"
                    "\"mergeCells\":" +
                    (merged ? "true" : "false") +
                    ",\"mergeArea\":{\"rows\":1,\"columns\":" + (merged ? "4" : "1") +
                    ",\"left\":0,\"top\":0}}" +
                    (i + 1 == kRows && j + 1 == kColumns ? "\n" : ",\n");
        }
    json += "]}\n";
    const QString path = dir.filePath(QStringLiteral("large.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

const QString& Snapshot() {
    static QTemporaryDir dir;
    static const QString path = WriteSnapshot(dir);
    return path;
}

void BM_ImportIntoWindow(benchmark::State& state) {
    QuietPrompt prompt(Snapshot());
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TForm1>(&prompt);
        form->show();
        state.ResumeTiming();
        form->Button3Click();
        state.PauseTiming();
        if (form->Texts().rows() != kRows)
            state.SkipWithError("import failed");
        form.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = kRows * kColumns;
}
BENCHMARK(BM_ImportIntoWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same import without a window, for comparison: what the window itself adds.
void BM_ImportWithoutWindow(benchmark::State& state) {
    const std::filesystem::path path(Snapshot().toStdU16String());
    for (auto _ : state) {
        sheetlift::CellTable table;
        sheetlift::TextGrid texts;
        sheetlift::TextGridSink sink(texts);
        const auto source = sheetlift::OpenSelectionFile(path);
        sheetlift::ImportSelection(*source, sink, table, sheetlift::Settings{});
        benchmark::DoNotOptimize(table.cellAttrs.data());
    }
}
BENCHMARK(BM_ImportWithoutWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

// One full repaint of the grid's visible cells, at the design size and at a large window.
void BM_RepaintGrid(benchmark::State& state) {
    QuietPrompt prompt(Snapshot());
    TForm1 form(&prompt);
    form.resize(int(state.range(0)), int(state.range(1)));
    form.show();
    form.Button3Click();
    QCoreApplication::processEvents();
    QWidget* viewport = form.StringGrid1->viewport();
    for (auto _ : state)
        viewport->repaint();
    state.counters["viewport_px"] = viewport->width() * viewport->height();
}
BENCHMARK(BM_RepaintGrid)->Args({432, 288})->Args({1600, 1000})->Unit(benchmark::kMillisecond);

// One repaint of the drawing page's canvas at 1600 x 1000 with the whole table in view, and
// zoomed in around its middle by `range(0)` wheel steps, where the texts are readable.
void BM_RepaintPreview(benchmark::State& state) {
    QuietPrompt prompt(Snapshot());
    TForm1 form(&prompt);
    form.show();
    form.Button3Click();
    form.PageControl1->setCurrentIndex(2);
    DrawingView* view = form.TabSheet3->View;
    form.resize(1600 + form.width() - view->width(), 1000 + form.height() - view->height());
    QCoreApplication::processEvents();
    view->Fit();
    const QPointF middle(view->width() / 2.0, view->height() / 2.0);
    QWheelEvent wheel(middle, view->mapToGlobal(middle), {}, QPoint(0, 120 * int(state.range(0))),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    if (state.range(0) > 0)
        QCoreApplication::sendEvent(view, &wheel);
    for (auto _ : state)
        view->repaint();
    state.counters["view_px"] = view->width() * view->height();
    state.counters["entities"] =
        double(view->CurrentDrawing().lines.size() + view->CurrentDrawing().outlines.size() +
               view->CurrentDrawing().texts.size());
}
BENCHMARK(BM_RepaintPreview)->Arg(0)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
