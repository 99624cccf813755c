// Drives the real main window offscreen: every box is answered by ScriptedPrompt. On Windows
// "Excel から取得" reads a fake running Excel that answers from the same snapshots, and
// "IJCAD へ挿入" meets a fake IJCAD.
#include "ScriptedPrompt.h"

#include "app/Dialogs.h"
#include "app/GridModel.h"
#include "app/MainWindow.h"
#include "app/PreviewPage.h"
#include "dxf/TableDxf.h"
#include "excel/Import.h"
#include "excel/Snapshot.h"
#include "model/FileIO.h"
#include "sizing/Sizing.h"
#include "textconv/TextFunctions.h"
#ifdef _WIN32
#include "model/Automation_win32.h"
#include "win32/FakeCad.h"
#include "win32/FakeExcel.h"
#endif

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

using namespace sheetlift;

namespace {

const QString kPartsList = QStringLiteral(SHEETLIFT_TEST_DATA "/snapshots/parts-list.json");
#ifdef _WIN32
const ComScope kCom; // the fake servers are registered from the tests' thread
// IJCAD is installed but not running unless a test says otherwise, so that "IJCAD へ挿入"
// ends with the DXF as it does where no CAD can be driven.
std::optional<test::RunningServer> ijcadInstalled;
#endif

// One snapshot cell: width in characters, text, alignment.
struct CellSpec {
    double width = 10;
    QString text;
    int mergeColumns = 0; // > 0: the cell lies in a one-row merged area this wide
};

// A rows x columns selection at B2 whose column k has width widths[k]; row heights 15, font 11.
QString WriteSnapshot(const QString& path, int rows, const std::vector<CellSpec>& cells) {
    const int columns = int(cells.size()) / rows;
    QString json = QStringLiteral("{\"format\":\"sheetlift-selection\",\"version\":1,"
                                  "\"workbook\":\"Book1\",\"sheet\":\"Sheet1\",\"row\":2,"
                                  "\"column\":2,\"rows\":%1,\"columns\":%2,\"cells\":[")
                       .arg(rows)
                       .arg(columns);
    for (std::size_t k = 0; k < cells.size(); ++k) {
        QString text = cells[k].text;
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('"'), QStringLiteral("\\\""))
            .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
            .replace(QLatin1Char('\t'), QStringLiteral("\\t"));
        json +=
            QStringLiteral("%1{\"columnWidth\":%2,\"rowHeight\":15,\"horizontalAlignment\":1,"
                           "\"fontSize\":11,\"text\":\"%3\",\"value2\":\"%3\",\"borders\":{},"
                           "\"mergeCells\":%4,\"mergeArea\":{\"rows\":1,\"columns\":%5,"
                           "\"left\":0,\"top\":0}}")
                .arg(k ? QStringLiteral(",") : QString())
                .arg(cells[k].width)
                .arg(text)
                .arg(cells[k].mergeColumns > 0 ? QStringLiteral("true") : QStringLiteral("false"))
                .arg(std::max(cells[k].mergeColumns, 1));
    }
    json += QStringLiteral("]}");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The width in pixels of what `text` puts on screen in `font`.
int InkWidth(const QFont& font, const QString& text) {
    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(10, 40), text);
    painter.end();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right < left ? 0 : right - left + 1;
}

// Every visible label, check box and button of `parent` shows its whole text and no two
// visible siblings overlap; what is wrong, or empty.
QStringList LayoutFaults(QWidget* parent) {
    QStringList faults;
    const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children) {
        if (!w->isVisible())
            continue;
        // Labels and check boxes need their size hint; a button its caption.
        int needed = 0;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w))
            needed = w->sizeHint().width();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            needed = button->fontMetrics().horizontalAdvance(button->text()) + 4;
        if (w->width() < needed)
            faults << QStringLiteral("%1 cut: %2 < %3")
                          .arg(w->objectName())
                          .arg(w->width())
                          .arg(needed);
        for (QWidget* other : children)
            if (other != w && other->isVisible() && w < other &&
                w->geometry().intersects(other->geometry()))
                faults << w->objectName() + QStringLiteral(" overlaps ") + other->objectName();
    }
    return faults;
}

std::vector<CellSpec> Texts(std::initializer_list<const char*> texts) {
    std::vector<CellSpec> cells;
    for (const char* t : texts)
        cells.push_back({10, QString::fromUtf8(t)});
    return cells;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedPrompt> prompt_;
    std::unique_ptr<TForm1> form_;

    TForm1& Form() { return *form_; }
    QString Cell(int row, int column) const {
        return QString::fromStdString(std::string(form_->Texts().Text(row - 1, column - 1)));
    }
    QString Path(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }

    // Imports a snapshot through Button3; true when it said it succeeded.
    bool Import(const QString& file) {
#ifdef _WIN32
        test::FakeExcel excel(file.toStdU16String());
        test::RunningServer running(L"Excel.Application", test::kFakeExcelClsid, &excel.app);
#else
        prompt_->file = file;
#endif
        prompt_->shown.clear();
        form_->Button3->click();
        const QString said = prompt_->Texts();
        prompt_->shown.clear();
        if (said != QStringLiteral("inform: 取得しました."))
            qWarning("import said: %s", qPrintable(said));
        return said == QStringLiteral("inform: 取得しました.");
    }
    // A mouse click on a data cell (grid coordinates).
    void SelectCell(int column, int row) {
        QTableView* grid = form_->StringGrid1;
        const QModelIndex index = grid->model()->index(row - 1, column - 1);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    void Enter(QLineEdit* box, const QString& text) {
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        prompt_ = std::make_unique<ScriptedPrompt>();
        form_ = std::make_unique<TForm1>(prompt_.get());
        QFile::remove(QString::fromStdU16String(form_->DxfPath().u16string()));
        form_->show();
#ifdef _WIN32
        ijcadInstalled.emplace(test::kCadProgId, test::kFakeCadClsid);
#endif
    }
    void cleanup() {
        const QString ini = QString::fromStdU16String(form_->SettingsPath().u16string());
        form_.reset();
        QFile::remove(ini);
#ifdef _WIN32
        ijcadInstalled.reset();
#endif
    }

    void startUpShowsAnEmptyWindowAndTheLoadedSettings() {
        const QString ini = QString::fromStdU16String(Form().SettingsPath().u16string());
        form_.reset();
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Lumentab]\ncolXsc=25\nrowYsc=2.5\ncadXsc=4\ncadYsc=0.5\ncadTsc=0.3\n"
                   "cadTof=1\ncellLineColor=7\ncellLineDraw=1\n");
        file.close();
        form_ = std::make_unique<TForm1>(prompt_.get());
        TForm1& f = Form();
        QCOMPARE(f.windowTitle(), QStringLiteral("Sheetlift 2023.02.11"));
        QCOMPARE(f.size(), QSize(432, 288));
        QCOMPARE(f.geometry().center(), f.screen()->availableGeometry().center());
        QCOMPARE(f.PageControl1->currentWidget(), f.TabSheet1);
        QVERIFY(f.Button3->isEnabled());
        QVERIFY(!f.Button4->isEnabled());
        QVERIFY(f.Button2->isHidden());
        QVERIFY(f.Button5->isHidden());
        for (QLineEdit* e : {f.Edit1, f.Edit2, f.Edit3, f.Edit11, f.Edit12, f.Edit13})
            QVERIFY(e->text().isEmpty());
        QVERIFY(f.Label4->text().isEmpty());
        QVERIFY(f.Label13->text().isEmpty());
        const QStringList shown{f.Edit4->text(), f.Edit5->text(), f.Edit6->text(), f.Edit7->text(),
                                f.Edit8->text(), f.Edit9->text(), f.Edit10->text()};
        QCOMPARE(shown, (QStringList{"25", "2.5", "4", "0.5", "0.3", "1", "7"}));
        QVERIFY(f.CheckBox1->isChecked());
        QVERIFY(!f.Edit10->isEnabled());
        QCOMPARE(f.StringGrid2->item(2, 0)->text(), QStringLiteral("列幅"));
        QVERIFY(f.StringGrid2->isColumnHidden(2));
        QStringList menu;
        for (QAction* a : f.PopupMenu1->actions())
            menu << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(menu.join(' '), QStringLiteral("N1 N12 N5 - N2 N6 N7 - N9 - N4 - N11"));
        QVERIFY(prompt_->shown.empty());
        // Before any import the settings page keeps its labels only.
        f.PageControl1->setCurrentIndex(1);
        QVERIFY(f.StringGrid2->item(0, 1)->text().isEmpty());
    }

    void importFillsTheGridAndRemembersTheFolder() {
        QVERIFY(Import(kPartsList));
        TForm1& f = Form();
        QCOMPARE(f.windowTitle(), QStringLiteral("部品表.xlsx [組立図A]"));
        QCOMPARE(f.Edit2->text(), QStringLiteral("B2"));
        QCOMPARE(f.Edit3->text(), QStringLiteral("E5"));
        const auto* model = f.StringGrid1->model();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("B"));
        QCOMPARE(model->headerData(3, Qt::Vertical).toString(), QStringLiteral("5"));
        QCOMPARE(Cell(1, 1), QStringLiteral("部品表（第1版）"));
        // The details describe the new current cell, and the keys go to the grid.
        QCOMPARE(f.Edit1->text(), Cell(1, 1));
        QVERIFY(!f.Edit11->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), f.StringGrid1);
        // Widths 4.5 -> 4 (ties to even) and 0 at the default display scale of 20.
        QCOMPARE(f.StringGrid1->columnWidth(0), 80);
        QCOMPARE(f.StringGrid1->columnWidth(2), 0);
        QCOMPARE(f.StringGrid1->rowHeight(0), 72);
        QVERIFY(f.Button3->isEnabled());
        QVERIFY(f.Button4->isEnabled());
        QCOMPARE(f.ProgressBar1->value(), 0);
        QCOMPARE(f.Label4->text(), QString::fromStdString(WHSizeText(f.Table(), '.')));
        QVERIFY(f.Label4->text().startsWith(QStringLiteral("全体: W=")));

#ifndef _WIN32
        // Cancelling the next file question changes nothing and says nothing.
        prompt_->file.clear();
        f.Button3->click();
        QVERIFY(prompt_->shown.empty());
        QVERIFY(f.Button3->isEnabled());
        QVERIFY(f.Button4->isEnabled());
        QCOMPARE(prompt_->folders.back(), QStringLiteral(SHEETLIFT_TEST_DATA "/snapshots"));
#endif
    }

    // The window's import is the snapshot's import: table, texts, totals line and so the drawing
    // pinned for it, on every platform (on Windows through the running Excel).
    void importEqualsTheSnapshotsImport() {
        QVERIFY(Import(kPartsList));
        CellTable table;
        TextGrid texts;
        TextGridSink sink(texts);
        ImportSelection(*OpenSnapshotSource(kPartsList.toStdU16String()), sink, table, Settings{});
        TForm1& f = Form();
        QCOMPARE(f.Texts().rows(), texts.rows());
        QCOMPARE(f.Texts().cols(), texts.cols());
        for (int i = 0; i < texts.rows(); ++i)
            for (int j = 0; j < texts.cols(); ++j)
                QCOMPARE(std::string(f.Texts().Text(i, j)), std::string(texts.Text(i, j)));
        QCOMPARE(f.Label4->text(), QString::fromStdString(WHSizeText(table, '.')));
        const std::string pinned =
            ReadWholeFile(std::filesystem::path(SHEETLIFT_TEST_DATA) / "expected/parts-list.dxf");
        QVERIFY(BuildTableDxf(f.Table(), f.Texts(), Settings{}, true, {}) == pinned);
        QVERIFY(BuildTableDxf(table, texts, Settings{}, true, {}) == pinned);
    }

#ifdef _WIN32
    void excelNotRunningGivesTheTwoMessages() {
        QVERIFY(Import(kPartsList));
        TForm1& f = Form();
        f.Button3->click();
        QCOMPARE(prompt_->Texts(), QStringLiteral("inform:クラス名: Excel.Application は無効です.|"
                                                  "inform:取得に失敗しました."));
        for (const auto& shown : prompt_->shown)
            QCOMPARE(shown.caption, QStringLiteral("メッセージ"));
        QVERIFY(f.Button3->isEnabled());
        QVERIFY(!f.Button4->isEnabled());
        QCOMPARE(f.windowTitle(),
                 QStringLiteral("部品表.xlsx [組立図A]")); // the earlier table stays
        QCOMPARE(f.Edit2->text(), QStringLiteral("B2"));
    }

    void excelClosedMidImportFailsWithItsReason() {
        QVERIFY(Import(kPartsList));
        test::FakeExcel excel(kPartsList.toStdU16String());
        excel.closeAt = "C3";
        test::RunningServer running(L"Excel.Application", test::kFakeExcelClsid, &excel.app);
        Form().Button3->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QVERIFY(prompt_->shown[0].text.startsWith(QStringLiteral("取得に失敗しました.\n")));
        QVERIFY(!Form().Button4->isEnabled());
        QVERIFY(Form().Button3->isEnabled());
    }

    void insertSendsTheCommandToTheRunningIjcad() {
        QVERIFY(Import(kPartsList));
        TForm1& f = Form();
        test::FakeCad cad;
        cad.Pick({100, 200});
        {
            test::RunningServer running(test::kCadProgId, test::kFakeCadClsid, &cad.app);
            f.Button4->click();
        }
        QVERIFY(prompt_->shown.empty());
        QCOMPARE(cad.prompt, std::wstring(L"挿入する左上基点を指示 : "));
        QVERIFY(cad.sent ==
                L"-INSERT\r\"*" + f.DxfPath().wstring() + L"\"\r100.000,200.000\rS 1 R 0 ");
        QVERIFY(cad.AllReleased());
        QVERIFY(QFileInfo(QString::fromStdU16String(f.DxfPath().u16string())).size() > 0);
        QVERIFY(f.Button4->isEnabled());
    }

    void insertWithoutARunningIjcadKeepsTheDxf() {
        QVERIFY(Import(kPartsList));
        TForm1& f = Form();
        const QString dxf = QString::fromStdU16String(f.DxfPath().u16string());
        f.Button4->click(); // installed, not running
        QVERIFY(prompt_->shown.empty());
        QVERIFY(QFileInfo(dxf).size() > 0);
        // Not even installed: the DXF is written, and an error box says why nothing else was.
        QFile::remove(dxf);
        ijcadInstalled.reset();
        f.Button4->click();
        QVERIFY(QFileInfo(dxf).size() > 0);
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(prompt_->shown[0].kind, QStringLiteral("error"));
        QFile::remove(dxf);
    }
#else
    void failedImportExplainsAndDisablesExport() {
        QVERIFY(Import(kPartsList));
        QFile bad(Path("bad.json"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("{not json");
        bad.close();
        prompt_->file = bad.fileName();
        Form().Button3->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QVERIFY(prompt_->shown[0].text.startsWith(QStringLiteral("取得に失敗しました.\n")));
        QVERIFY(prompt_->shown[0].text.contains(QStringLiteral("bad.json")));
        QCOMPARE(prompt_->shown[0].caption, QStringLiteral("メッセージ"));
        QVERIFY(!Form().Button4->isEnabled());
        QVERIFY(Form().Button3->isEnabled());
    }
#endif

    void headerClicksSelectColumnRowAndAll() {
        QVERIFY(Import(
            WriteSnapshot(Path("g.json"), 3,
                          Texts({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}))));
        TForm1& f = Form();
        SelectCell(1, 1);
        QCOMPARE(f.Edit1->text(), QStringLiteral("a"));
        QHeaderView* top = f.StringGrid1->horizontalHeader();
        QTest::mouseClick(top->viewport(), Qt::LeftButton, {},
                          QPoint(top->sectionViewportPosition(2) + 5, 5));
        GridRect r = f.Selection();
        QCOMPARE((QList<int>{r.left, r.top, r.right, r.bottom}), (QList<int>{3, 1, 3, 3}));
        QHeaderView* side = f.StringGrid1->verticalHeader();
        QTest::mouseClick(side->viewport(), Qt::LeftButton, {},
                          QPoint(5, side->sectionViewportPosition(1) + 5));
        r = f.Selection();
        QCOMPARE((QList<int>{r.left, r.top, r.right, r.bottom}), (QList<int>{1, 2, 4, 2}));
        f.StringGrid1->findChild<QAbstractButton*>()->click();
        r = f.Selection();
        QCOMPARE((QList<int>{r.left, r.top, r.right, r.bottom}), (QList<int>{1, 1, 4, 3}));
        // The bottom-right cell is current, and the details describe it.
        QCOMPARE(f.StringGrid1->currentIndex().row(), 2);
        QCOMPARE(f.StringGrid1->currentIndex().column(), 3);
        QCOMPARE(f.Edit1->text(), QStringLiteral("l"));
    }

    // However a cell became current, Edit1 and the size boxes describe it, so typing in Edit1
    // writes the current cell's own text and never another's.
    void editorFollowsTheCurrentCellAfterHeaderClicksAndCommands() {
        QVERIFY(Import(WriteSnapshot(Path("f.json"), 2,
                                     {{10, "c1"}, {20, "d1"}, {10, "c2"}, {20, "d2 abc"}})));
        TForm1& f = Form();
        SelectCell(1, 1);
        f.Label13->setText(QStringLiteral("[0063]"));
        QHeaderView* top = f.StringGrid1->horizontalHeader();
        QTest::mouseClick(top->viewport(), Qt::LeftButton, {},
                          QPoint(top->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(f.Edit1->text(), QStringLiteral("d2 abc"));
        QCOMPARE(f.Edit11->text(), QStringLiteral("60.000"));
        QVERIFY(f.Label13->text().isEmpty());
        f.Edit1->end(false);
        QTest::keyClicks(f.Edit1, "X");
        QCOMPARE(Cell(2, 2), QStringLiteral("d2 abcX"));
        QCOMPARE(Cell(1, 1), QStringLiteral("c1"));

        f.PopupMenu1->findChild<QAction*>(QStringLiteral("N1"))->trigger();
        QCOMPARE(f.Edit1->text(), QStringLiteral("ｄ２　ａｂｃＸ"));
        f.Edit1->end(false);
        QTest::keyClicks(f.Edit1, "!");
        QCOMPARE(Cell(2, 2), QStringLiteral("ｄ２　ａｂｃＸ!"));
        QCOMPARE(Cell(1, 2), QStringLiteral("ｄ１"));

        prompt_->dialog = [](QDialog& d) {
            static_cast<TForm3&>(d).Edit1->setText(QStringLiteral("ｄ２"));
            static_cast<TForm3&>(d).Edit2->setText(QStringLiteral("e"));
            return true;
        };
        f.PopupMenu1->findChild<QAction*>(QStringLiteral("N4"))->trigger();
        QCOMPARE(f.Edit1->text(), QStringLiteral("e　ａｂｃＸ!"));

        // Applying new scales recomputes the sizes that the boxes show.
        f.Edit6->setText(QStringLiteral("5"));
        prompt_->answers = {true};
        f.Button1->click();
        QCOMPARE(f.Edit11->text(), QStringLiteral("100.000"));
    }

    void mergedCellsKeepTheirBackgroundAndReadableTextWhenSelected() {
        QVERIFY(Import(kPartsList)); // B2:E2 is merged, the row below is not
        TForm1& f = Form();
        f.resize(900, 700);
        f.SetSelection({1, 1, 2, 2});
        QTableView* grid = f.StringGrid1;
        grid->scrollTo(grid->model()->index(0, 0));
        const QImage image = grid->viewport()->grab().toImage();
        const auto cell = [&](int column, int row) {
            return grid->visualRect(grid->model()->index(row - 1, column - 1));
        };
        const auto darkPixels = [&](const QRect& rect) {
            int dark = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    dark += qGray(image.pixel(x, y)) < 100;
            return dark;
        };
        const QRect merged = cell(1, 1);
        QCOMPARE(QColor(image.pixel(merged.bottomLeft() + QPoint(3, -3))), QColor(240, 255, 255));
        QCOMPARE(QColor(image.pixel(cell(2, 1).bottomLeft() + QPoint(3, -3))),
                 QColor(240, 255, 255));
        // The title, centred over the whole area, shows.
        QVERIFY(darkPixels(merged.united(cell(4, 1)).adjusted(1, 1, -1, -1)) > 10);
        const QRect plain = cell(1, 2);
        QCOMPARE(QColor(image.pixel(plain.bottomLeft() + QPoint(3, -3))),
                 grid->palette().color(QPalette::Highlight));
    }

    void gridKeysEditClearAndCopy() {
        QVERIFY(Import(WriteSnapshot(Path("k.json"), 2, Texts({"a", "b\tc", "d", "e"}))));
        TForm1& f = Form();
        QTableView* grid = f.StringGrid1;
        SelectCell(1, 2);
        QTest::keyClick(grid, Qt::Key_F2);
        QLineEdit* editor = grid->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        editor->selectAll();
        QTest::keyClicks(editor, "new");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(Cell(2, 1), QStringLiteral("new"));  // committed from the event loop
        QCOMPARE(f.Edit1->text(), QStringLiteral("new")); // Edit1 follows the edit in place

        f.SetSelection({1, 1, 2, 2});
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\t\"b\tc\"\nnew\te\n"));

        f.SetSelection({2, 1, 2, 2});
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE((QStringList{Cell(1, 1), Cell(1, 2), Cell(2, 1), Cell(2, 2)}),
                 (QStringList{"a", "", "new", ""}));
    }

    // Full-width letters and digits look one em wide, half-width kana half an em, wherever the
    // user reads them: the grid, Edit1 and the replace dialog.
    void fullAndHalfWidthFormsLookDifferent() {
        TForm1& f = Form();
        for (QWidget* w : {static_cast<QWidget*>(f.StringGrid1), static_cast<QWidget*>(f.Edit1),
                           static_cast<QWidget*>(f.Form3->Edit1)}) {
            const int full = InkWidth(w->font(), QStringLiteral("Ｍ１６"));
            const int half = InkWidth(w->font(), QStringLiteral("M16"));
            QVERIFY2(full >= half * 3 / 2,
                     qPrintable(
                         QStringLiteral("%1: %2 vs %3").arg(w->objectName()).arg(full).arg(half)));
            const QFontMetrics metrics(w->font());
            QVERIFY(metrics.horizontalAdvance(QStringLiteral("アイウ")) >=
                    metrics.horizontalAdvance(QStringLiteral("ｱｲｳ")) * 3 / 2);
        }
    }

    void labelsStayWholeAndControlsApartAtEveryWidth() {
        QVERIFY(Import(QStringLiteral(SHEETLIFT_SAMPLE)));
        TForm1& f = Form();
        QCOMPARE(f.size(), QSize(432, 288)); // the sample's totals fit the starting size
        QVERIFY(f.Label4->text().startsWith(QStringLiteral("全体: W=")));
        for (int width : {432, 600, 1000}) {
            f.resize(width, 288);
            QCoreApplication::processEvents();
            QCOMPARE(LayoutFaults(f.Panel1).join(QLatin1Char(';')), QString());
        }
        f.PageControl1->setCurrentIndex(1);
        QCOMPARE(LayoutFaults(f.TabSheet2).join(QLatin1Char(';')), QString());
        for (QGroupBox* group : f.TabSheet2->findChildren<QGroupBox*>())
            QCOMPARE(LayoutFaults(group).join(QLatin1Char(';')), QString());
        f.PageControl1->setCurrentIndex(0);

        // A longer totals line makes the window keep room for it.
        f.resize(432, 288);
        f.SetSelection({1, 1, 1, 1});
        prompt_->answers = {true};
        Enter(f.Edit11, QStringLiteral("1234567.5"));
        QCoreApplication::processEvents();
        QVERIFY(f.minimumWidth() > 432);
        QCOMPARE(f.width(), f.minimumWidth());
        QCOMPARE(LayoutFaults(f.Panel1).join(QLatin1Char(';')), QString());
    }

    void button3SaysWhatItOpens() {
#ifdef _WIN32
        QVERIFY(Form().Button3->toolTip().contains(QStringLiteral("アクティブな Excel")));
#else
        // No Excel to read here: the button opens a file.
        QVERIFY(!Form().Button3->toolTip().contains(QStringLiteral("アクティブな Excel")));
        QVERIFY(Form().Button3->toolTip().contains(QStringLiteral(".xlsx")));
#endif
    }

    void replaceDialogClosesOnlyThroughItsButtons() {
        TForm3& d = *Form().Form3;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        for (int key : {Qt::Key_Return, Qt::Key_Escape})
            QTest::keyClick(d.Edit1, Qt::Key(key));
        QVERIFY(d.isVisible());
        d.Button1->setFocus();
        QTest::keyClick(d.Button1, Qt::Key_Return); // a focused button is pressed, as on Windows
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void editorShowsLineFeedsAndCodesAndWritesTheCell() {
        QVERIFY(Import(WriteSnapshot(Path("e.json"), 1, Texts({"ab\ncd", "あい"}))));
        TForm1& f = Form();
        SelectCell(1, 1);
        QCOMPARE(f.Edit1->text(), QStringLiteral("ab\ncd"));
        QCOMPARE(f.Edit1->palette().color(QPalette::Text), QColor(Qt::red));
        f.Edit1->setCursorPosition(3);
        QTest::keyClick(f.Edit1, Qt::Key_Left);
        QCOMPARE(f.Label13->text(), QStringLiteral("[000A]"));
        f.Edit1->setCursorPosition(f.Edit1->text().size());
        QTest::keyClick(f.Edit1, Qt::Key_Right);
        QVERIFY(f.Label13->text().isEmpty());
        SelectCell(2, 1);
        QCOMPARE(f.Edit1->palette().color(QPalette::Text), QColor(Qt::black));
        QVERIFY(f.Label13->text().isEmpty());
        f.Edit1->setCursorPosition(0);
        QTest::keyClick(f.Edit1, Qt::Key_Right);
        QCOMPARE(f.Label13->text(), QStringLiteral("[3044]"));
        // Typing (a Japanese commit included) writes the current cell at every change.
        f.Edit1->setCursorPosition(2);
        QTest::keyClicks(f.Edit1, "x");
        QCOMPARE(Cell(1, 2), QStringLiteral("あいx"));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("う"));
        QApplication::sendEvent(f.Edit1, &commit);
        QCOMPARE(Cell(1, 2), QStringLiteral("あいxう"));
    }

    void basePointButtonsSetTheSelection() {
        QVERIFY(Import(
            WriteSnapshot(Path("b.json"), 3,
                          Texts({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}))));
        TForm1& f = Form();
        SelectCell(1, 1);
        QVERIFY(f.SpeedButton1->autoRaise() && f.SpeedButton2->autoRaise() &&
                f.SpeedButton3->autoRaise() == false); // numbers of general alignment: right
        f.SetSelection({2, 1, 4, 2});
        f.SpeedButton2->click();
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j)
                QCOMPARE(int(f.Table().at(i, j).txtAlign), i < 2 && j >= 1 ? 2 : 3);
        QVERIFY(!f.SpeedButton3->autoRaise()); // the look follows the next current cell
        SelectCell(2, 1);
        QVERIFY(!f.SpeedButton2->autoRaise());
        QVERIFY(f.SpeedButton3->autoRaise());
    }

    void sizeBoxesAskAndApplyToTheSelection() {
        QVERIFY(Import(WriteSnapshot(Path("s.json"), 2, Texts({"a", "b", "c", "d", "e", "f"}))));
        TForm1& f = Form();
        SelectCell(1, 1);
        f.PageControl1->setCurrentIndex(1);
        const QString oldTotal = f.StringGrid2->item(0, 1)->text();
        f.PageControl1->setCurrentIndex(0);
        f.SetSelection({2, 2, 3, 2});
        for (const char* ignored : {"abc", "0", "-2"}) {
            Enter(f.Edit11, QString::fromLatin1(ignored));
            QCOMPARE(f.Edit11->text(), QString::fromLatin1(ignored));
        }
        QVERIFY(prompt_->shown.empty());

        prompt_->answers = {true};
        Enter(f.Edit11, QStringLiteral("12"));
        QCOMPARE(prompt_->Texts(), QStringLiteral("confirm:選択範囲の列幅を変更しますか？"));
        QCOMPARE(f.Edit11->text(), QStringLiteral("12.000"));
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(f.Table().at(i, 0).drawW, 30.0);
            QCOMPARE(f.Table().at(i, 1).drawW, 12.0);
            QCOMPARE(f.Table().at(i, 2).drawW, 12.0);
        }
        QCOMPARE(f.Label4->text(), QStringLiteral("全体: W=54.000 x H=12.900"));
        QCOMPARE(f.StringGrid2->item(0, 1)->text(), oldTotal); // until the page is shown again

        prompt_->shown.clear();
        prompt_->answers = {false};
        Enter(f.Edit12, QStringLiteral("7"));
        QCOMPARE(prompt_->Texts(), QStringLiteral("confirm:選択範囲の行高さを変更しますか？"));
        QCOMPARE(f.Edit12->text(), QStringLiteral("6.450")); // the current cell's own height
        QCOMPARE(f.Table().at(1, 0).drawH, 15 * 0.43);

        prompt_->answers = {true};
        Enter(f.Edit13, QStringLiteral("5"));
        QCOMPARE(f.Edit13->text(), QStringLiteral("5.000"));
        QCOMPARE(f.Table().at(1, 1).drawTH, 5.0);
        QCOMPARE(f.Table().at(0, 1).drawTH, 11 * 0.27);
        QCOMPARE(f.Table().at(1, 0).drawTH, 11 * 0.27);
    }

    void summaryGridShowsTotalsAndModes_data() {
        QTest::addColumn<QList<double>>("widths");
        QTest::addColumn<QString>("row2");
        QTest::newRow("10 20 20") << QList<double>{1, 2, 2}
                                  << QStringLiteral("20.000 (10.000～20.000)");
        QTest::newRow("10 20") << QList<double>{1, 2} << QStringLiteral("10.000 (10.000～20.000)");
    }
    void summaryGridShowsTotalsAndModes() {
        QFETCH(QList<double>, widths);
        QFETCH(QString, row2);
        const std::vector<CellSpec> cells(std::size_t(widths.size()), CellSpec{10, "x"});
        TForm1& f = Form();
        QVERIFY(Import(WriteSnapshot(Path("m.json"), 1, cells)));
        // The drawing widths 10, 20, ... set column by column through the width box.
        for (int k = 0; k < widths.size(); ++k) {
            f.SetSelection({k + 1, 1, k + 1, 1});
            prompt_->answers = {true};
            Enter(f.Edit11, QString::number(widths[k] * 10));
        }
        f.PageControl1->setCurrentIndex(1);
        QCOMPARE(f.StringGrid2->item(2, 1)->text(), row2);
        double total = 0;
        for (double w : widths)
            total += w * 10;
        QCOMPARE(f.StringGrid2->item(0, 1)->text(), QString::number(total, 'f', 3));
        QCOMPARE(f.StringGrid2->item(0, 2)->text(), QString::number(total, 'f', 3));
        QCOMPARE(f.StringGrid2->item(1, 1)->text(), QStringLiteral("6.450"));
    }

    void applyTakesTheBoxesOverOnlyWithATable() {
        TForm1& f = Form();
        f.Edit6->setText(QStringLiteral("abc"));
        f.Button1->click();
        QVERIFY(prompt_->shown.empty()); // no table: nothing asked, nothing stored
        QCOMPARE(f.CurrentSettings().cadXsc, 3.0);

        QVERIFY(Import(WriteSnapshot(Path("a.json"), 1, Texts({"a", "b"}))));
        const int gridWidth = f.StringGrid1->columnWidth(0);
        f.Edit4->setText(QStringLiteral("40"));
        prompt_->answers = {false};
        f.Button1->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(f.CurrentSettings().cadXsc, 3.0);
        prompt_->answers = {true};
        f.Button1->click();
        QCOMPARE(prompt_->shown.back().text,
                 QStringLiteral("尺度を更新すると個別に設定した列幅、列高さ、文字高さがリセット（"
                                "再計算）されます．\n設定を更新しますか？"));
        QCOMPARE(f.CurrentSettings().cadXsc, 10.0);
        QCOMPARE(f.CurrentSettings().colXsc, 40.0);
        QCOMPARE(f.Table().at(0, 0).drawW, 100.0);
        QCOMPARE(f.StringGrid2->item(0, 1)->text(), QStringLiteral("200.000"));
        QCOMPARE(f.StringGrid1->columnWidth(0), gridWidth); // the next import uses colXsc
    }

    void popupCommandsConvertTheSelection_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<void*>("routine");
        QTest::newRow("N1") << "N1" << reinterpret_cast<void*>(&ToFullWidth);
        QTest::newRow("N12") << "N12" << reinterpret_cast<void*>(&ToFullWidthUnlessNumeric);
        QTest::newRow("N5") << "N5" << reinterpret_cast<void*>(&HalfKanaToFull);
        QTest::newRow("N2") << "N2" << reinterpret_cast<void*>(&ToHalfWidth);
        QTest::newRow("N6") << "N6" << reinterpret_cast<void*>(&FullDigitsToHalf);
        QTest::newRow("N7") << "N7" << reinterpret_cast<void*>(&FullAlphaToHalf);
        QTest::newRow("N9") << "N9" << reinterpret_cast<void*>(&FullSymbolsToHalf);
    }
    void popupCommandsConvertTheSelection() {
        QFETCH(QString, item);
        QFETCH(void*, routine);
        const auto convert = reinterpret_cast<std::string (*)(std::string_view)>(routine);
        const char* texts[] = {"ｱｲｳ abc 123", "（Ａ｜Ｂ）１２", "", "A1", "2023", "keep"};
        QVERIFY(Import(
            WriteSnapshot(Path("c.json"), 2,
                          Texts({texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]}))));
        TForm1& f = Form();
        f.SetSelection({1, 1, 3, 1}); // the first row only
        f.PopupMenu1->findChild<QAction*>(item)->trigger();
        for (int k = 0; k < 6; ++k) {
            const std::string expected = k < 3 && *texts[k] ? convert(texts[k]) : texts[k];
            QCOMPARE(Cell(k / 3 + 1, k % 3 + 1), QString::fromStdString(expected));
        }
        QCOMPARE(f.StringGrid1->model()->data(f.StringGrid1->model()->index(0, 1)).toString(),
                 Cell(1, 2));
        QVERIFY(prompt_->shown.empty());
    }

    void replaceCountsNonEmptyCells() {
        QVERIFY(Import(WriteSnapshot(Path("r.json"), 1, Texts({"aaa", "Abc", "", "xyz"}))));
        TForm1& f = Form();
        f.SetSelection({1, 1, 4, 1});
        prompt_->dialog = [](QDialog& d) {
            auto& form3 = static_cast<TForm3&>(d);
            form3.Edit1->setText(QStringLiteral("a"));
            form3.Edit2->setText(QStringLiteral("b"));
            return true;
        };
        f.PopupMenu1->findChild<QAction*>(QStringLiteral("N4"))->trigger();
        QCOMPARE(Cell(1, 1), QStringLiteral("baa"));
        QCOMPARE(Cell(1, 2), QStringLiteral("Abc"));
        QCOMPARE(Cell(1, 4), QStringLiteral("xyz"));
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(prompt_->shown[0].caption, QStringLiteral("Sheetlift"));
        QCOMPARE(prompt_->shown[0].text, QStringLiteral("3 個の文字列を置換しました."));
        // Cancelled: nothing changes, nothing is said; the boxes keep the last texts.
        prompt_->dialog = [](QDialog& d) {
            return static_cast<TForm3&>(d).Edit1->text() == QStringLiteral("a") && false;
        };
        f.PopupMenu1->findChild<QAction*>(QStringLiteral("N4"))->trigger();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(Cell(1, 1), QStringLiteral("baa"));
        QCOMPARE(f.Form3->Edit2->text(), QStringLiteral("b"));
    }

    void rightClickOpensThePopupMenu() {
        QVERIFY(Import(WriteSnapshot(Path("p.json"), 1, Texts({"a"}))));
        TForm1& f = Form();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(80, 10),
                                f.StringGrid1->viewport()->mapToGlobal(QPoint(80, 10)));
        QApplication::sendEvent(f.StringGrid1->viewport(), &event);
        QTRY_VERIFY(f.PopupMenu1->isVisible());
        f.PopupMenu1->hide();
    }

    void reverseCalculationScalesTheXScale() {
        TForm1& f = Form();
        prompt_->dialog = [](QDialog&) { return true; };
        f.Button5Click(); // no table: the dialog is filled but not shown
        QVERIFY(f.Form4->Edit1->text().isEmpty());
        QVERIFY(!f.Form4->CheckBox1->isChecked());
        QVERIFY(prompt_->shown.empty());

        f.Edit6->setText(QStringLiteral("10"));
        f.Edit7->setText(QStringLiteral("1"));
        // Widths 3 x 10 characters.
        QVERIFY(Import(WriteSnapshot(Path("v.json"), 1, Texts({"a", "b", "c"}))));
        prompt_->answers = {true};
        f.Button1->click(); // apply X scale 10: total width 300
        QCOMPARE(f.StringGrid2->item(0, 2)->text(), QStringLiteral("300.000"));
        prompt_->shown.clear();
        prompt_->dialog = [](QDialog& d) {
            auto& form4 = static_cast<TForm4&>(d);
            if (form4.Edit1->text() != QStringLiteral("300.000") || form4.CheckBox1->isChecked())
                return false;
            form4.Edit1->setText(QStringLiteral("600"));
            return form4.CheckBox1->isChecked() && !form4.CheckBox3->isChecked();
        };
        prompt_->answers = {true};
        f.Button5->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(prompt_->shown[0].kind, QStringLiteral("confirm"));
        QCOMPARE(f.Edit6->text(), QStringLiteral("20"));
        QCOMPARE(f.CurrentSettings().cadXsc, 20.0);
        QCOMPARE(f.StringGrid2->item(0, 2)->text(), QStringLiteral("600.000"));
    }

    void reverseDialogTicksKeepTotalsAndItemsApart() {
        TForm4& d = *Form().Form4;
        d.Edit3->setText(QStringLiteral("1"));
        d.Edit1->setText(QStringLiteral("1"));
        QVERIFY(d.CheckBox1->isChecked() && !d.CheckBox3->isChecked());
        d.Edit2->setText(QStringLiteral("1"));
        d.Edit4->setText(QStringLiteral("1"));
        QVERIFY(d.CheckBox4->isChecked() && !d.CheckBox2->isChecked());
        d.CheckBox2->setChecked(true);
        QVERIFY(!d.CheckBox4->isChecked());
        d.Edit5->setText(QStringLiteral("1"));
        QVERIFY(d.CheckBox5->isChecked() && d.CheckBox1->isChecked() && d.CheckBox2->isChecked());
    }

    void reverseCalculationWithAZeroCurrentValueReportsAnError() {
        TForm1& f = Form();
        f.Edit6->setText(QStringLiteral("0"));
        QVERIFY(Import(WriteSnapshot(Path("z.json"), 1, Texts({"a"}))));
        prompt_->answers = {true};
        f.Button1->click();
        prompt_->shown.clear();
        prompt_->dialog = [](QDialog& d) {
            static_cast<TForm4&>(d).Edit1->setText(QStringLiteral("100"));
            return true;
        };
        f.Button5->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(prompt_->shown[0].kind, QStringLiteral("error"));
        QVERIFY(f.isVisible());
    }

    void exportSaysWhereTheDrawingWentAndSavesElsewhereOnRequest() {
        TForm1& f = Form();
        QVERIFY(Import(kPartsList));
        QVERIFY(f.Label14->isHidden());
        f.Button4->click();
        const QString dxf = QString::fromStdU16String(f.DxfPath().u16string());
        QVERIFY(QFileInfo::exists(dxf));
        QVERIFY(f.Label14->isVisible());
        QCOMPARE(f.Label14->text(),
                 QStringLiteral("図面を書き出しました: ") + QDir::toNativeSeparators(dxf));
        f.PopupMenu1->findChild<QAction*>(QStringLiteral("N2"))->trigger();
        QVERIFY(f.Label14->isHidden()); // the next command replaces it
        QFile::remove(dxf);

        QAction* saveAs = f.PopupMenu1->findChild<QAction*>(QStringLiteral("N11"));
        QCOMPARE(saveAs->text(), QStringLiteral("名前を付けて保存..."));
        prompt_->saveFile = Path("other"); // the extension is added
        saveAs->trigger();
        QCOMPARE(prompt_->suggested.front(), dxf); // starts from the default place
        QVERIFY(QFileInfo(Path("other.dxf")).size() > 0);
        QVERIFY(!QFileInfo::exists(dxf)); // the default file is left alone
        QCOMPARE(f.Label14->text(), QStringLiteral("図面を書き出しました: ") +
                                        QDir::toNativeSeparators(Path("other.dxf")));
        prompt_->saveFile.clear(); // cancelled: nothing happens
        saveAs->trigger();
        QCOMPARE(prompt_->suggested.back(), Path("other.dxf"));
        QVERIFY(f.Label14->isHidden());
        QVERIFY(prompt_->shown.empty());

        // A failed write names the file and says why, in Japanese.
        QVERIFY(QDir().mkdir(Path("folder.dxf")));
        prompt_->saveFile = Path("folder.dxf");
        saveAs->trigger();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(prompt_->shown[0].kind, QStringLiteral("error"));
        QVERIFY2(prompt_->shown[0].text.contains(QStringLiteral("folder.dxf")) &&
                     prompt_->shown[0].text.contains(QStringLiteral("書き込")) &&
                     !prompt_->shown[0].text.contains(QStringLiteral("Cannot")),
                 qPrintable(prompt_->shown[0].text));
        QVERIFY(f.Label14->isHidden());
    }

#ifndef _WIN32 // a file is chosen only where there is no Excel to read
    void failedImportGivesItsReasonInJapanese_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown kind") << "table.txt"
                                      << "は読めない種類のファイルです";
    }
    void failedImportGivesItsReasonInJapanese() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QFile file(Path(qPrintable(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        prompt_->file = file.fileName();
        Form().Button3->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        const QString text = prompt_->shown[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("取得に失敗しました.\n「")) &&
                     text.contains(name) && text.contains(reason),
                 qPrintable(text));
        QVERIFY(Form().Label4->text().isEmpty());
        QCOMPARE(Form().ProgressBar1->maximum(), 100); // no longer busy
    }
#endif

    // A merged area's text runs across the whole area, as on the sheet, not clipped to its
    // first column.
    void mergedAreaTextSpansTheArea() {
        std::vector<CellSpec> cells(4, CellSpec{3, QString(), 4});
        cells[0].text = QStringLiteral("WWWWWWWWWWWW");
        QVERIFY(Import(WriteSnapshot(Path("t.json"), 1, cells)));
        TForm1& f = Form();
        f.resize(900, 500);
        QTableView* grid = f.StringGrid1;
        grid->clearSelection();
        const QImage image = grid->viewport()->grab().toImage();
        const auto dark = [&](int column) {
            const QRect r =
                grid->visualRect(grid->model()->index(0, column - 1)).adjusted(1, 1, -1, -1);
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    n += qGray(image.pixel(x, y)) < 100;
            return n;
        };
        QVERIFY(dark(1) > 10);
        QVERIFY(dark(2) > 10); // the text goes on in the covered cell
        QCOMPARE(QColor(image.pixel(grid->visualRect(grid->model()->index(0, 1)).bottomLeft() +
                                    QPoint(3, -3))),
                 QColor(240, 255, 255));
    }

    void exportWritesTheDxfBesideTheExecutable() {
        TForm1& f = Form();
        const QString dxf = QString::fromStdU16String(f.DxfPath().u16string());
        QCOMPARE(QFileInfo(dxf).absolutePath(), QCoreApplication::applicationDirPath());
        QVERIFY(dxf.endsWith(QStringLiteral(".dxf")));
        QVERIFY(Import(kPartsList));
        f.Button4->click();
        QVERIFY(QFileInfo(dxf).size() > 0);
        QVERIFY(prompt_->shown.empty() || prompt_->shown[0].kind == QStringLiteral("inform"));
        QVERIFY(f.Button4->isEnabled());
        QFile::remove(dxf);
    }

    void exportNamesTheCellsWhoseCharactersTheDxfCannotCarry() {
        TForm1& f = Form();
        QVERIFY(Import(WriteSnapshot(Path("lost.json"), 2, Texts({"ok", "😀", "—", "fine"}))));
        f.Button4->click();
        QCOMPARE(prompt_->shown.size(), std::size_t(1)); // one message after writing
        QCOMPARE(prompt_->shown[0].kind, QStringLiteral("inform"));
        QVERIFY2(prompt_->shown[0].text.endsWith(QStringLiteral(":\nC2, B3")),
                 qPrintable(prompt_->shown[0].text));
        QFile::remove(QString::fromStdU16String(f.DxfPath().u16string()));
    }

    // The drawing page paints the imported table from the drawing's entities, follows edits
    // made on the first page, names the cell of a text under the cursor and saves pictures.
    void drawingPagePaintsTheTable() {
        TForm1& f = Form();
        QVERIFY(Import(kPartsList));
        f.PageControl1->setCurrentIndex(2);
        QCOMPARE(f.PageControl1->tabText(2), QStringLiteral(" 図面"));
        PreviewPage& page = *f.TabSheet3;
        DrawingView& view = *page.View;
        const Drawing& drawing = view.CurrentDrawing();
        QVERIFY(!drawing.lines.empty());
        QCOMPARE(drawing.texts.size(), std::size_t(14)); // as the DXF file has TEXTs
        const auto dark = [&view](QSize size) {
            QImage image(size, QImage::Format_RGB32);
            QPainter painter(&image);
            view.Paint(painter, size);
            painter.end();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += qGray(image.pixel(x, y)) < 128;
            return n;
        };
        view.resize(800, 500);
        view.Fit();
        const int all = dark(view.size());
        QVERIFY2(all > 2000, qPrintable(QString::number(all)));
        page.LayerBoxes[2]->setChecked(false); // XLSBordLine
        page.LayerBoxes[1]->setChecked(false); // XLSCellText
        const int cellLinesOnly = dark(view.size());
        QVERIFY(cellLinesOnly < all / 2);
        page.LayerBoxes[1]->setChecked(true);
        page.LayerBoxes[2]->setChecked(true);

        // The first text (B2, the title of the merged header) under the cursor.
        const Drawing::Text& first = drawing.texts[0];
        const DrawingExtent& e = drawing.extent;
        const double margin = std::max(1.0, 0.02 * std::max(e.maxX - e.minX, e.maxY - e.minY));
        const double scale =
            std::min(800 / (e.maxX - e.minX + 2 * margin), 500 / (e.maxY - e.minY + 2 * margin));
        const QPointF at(400 + (first.point.x - (e.minX + e.maxX) / 2) * scale,
                         250 - (first.point.y - (e.minY + e.maxY) / 2) * scale);
        QCOMPARE(view.AddressAt(at), QStringLiteral("B2"));
        QCOMPARE(view.AddressAt(QPointF(2, 2)), QString());

        // An edit on the first page shows when the page is shown again.
        f.PageControl1->setCurrentIndex(0);
        SelectCell(1, 1);
        f.Edit1->setText(QStringLiteral("新しい題名"));
        f.PageControl1->setCurrentIndex(2);
        QCOMPARE(QString::fromUtf8(view.CurrentDrawing().TextOf(view.CurrentDrawing().texts[0])),
                 QStringLiteral("新しい題名"));

        page.SaveImage(Path("drawing.png"));
        QImage png(Path("drawing.png"));
        QVERIFY(!png.isNull() && png.width() > 800);
        page.LayerBoxes[0]->setChecked(false);
        page.SaveImage(Path("drawing.svg"));
        QFile svg(Path("drawing.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray bytes = svg.readAll();
        QVERIFY(bytes.startsWith("<?xml") && bytes.contains("新しい題名"));
        QVERIFY(bytes.contains("<g id=\"XLSCellLine\"") && !bytes.contains("<polygon"));
    }

    void closingSavesTheSettings() {
        TForm1& f = Form();
        const QString ini = QString::fromStdU16String(f.SettingsPath().u16string());
        f.CheckBox1->setChecked(true);
        QVERIFY(f.close());
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("[Lumentab]"));
        QVERIFY(text.contains("cellLineDraw=1"));
        QVERIFY(f.Table().cellAttrs.empty());
    }

    void theWindowKeepsItsPlaceBetweenRuns() {
        TForm1& f = Form();
        const QString ini = QString::fromStdU16String(f.SettingsPath().u16string());
        const QRect screen = f.screen()->availableGeometry();
        const QRect place(screen.left() + 40, screen.top() + 50, 640, 420);
        f.setGeometry(place);
        QVERIFY(f.close());
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll().replace("\r\n", "\n"); // Windows' line ends
        file.close();
        QVERIFY2(text.contains("[Window]\nleft=") && text.contains("maximized=0"),
                 text.constData());
        QVERIFY(!text.contains("declareCodepage")); // not set: the file keeps its usual keys

        form_ = std::make_unique<TForm1>(prompt_.get());
        QCOMPARE(Form().geometry(), place);
        QVERIFY(!Form().isMaximized());
        Form().showMaximized();
        QVERIFY(Form().close());
        form_ = std::make_unique<TForm1>(prompt_.get());
        QVERIFY(Form().windowState() & Qt::WindowMaximized);
        QCOMPARE(Form().geometry().size(), place.size()); // and returns to its own size

        // A place on a screen that is gone: the starting layout, centred.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Lumentab]\ncadXsc=4\n[Window]\nleft=-20000\ntop=-20000\nwidth=500\n"
                   "height=300\nmaximized=0\n");
        file.close();
        form_ = std::make_unique<TForm1>(prompt_.get());
        QCOMPARE(Form().size(), QSize(432, 288));
        QCOMPARE(Form().geometry().center(), screen.center());
        QCOMPARE(Form().CurrentSettings().cadXsc, 4.0);
    }

    void codepageTickBoxReachesTheDrawingAndIsKept() {
        TForm1& f = Form();
        QVERIFY(!f.CheckBox2->isChecked()); // off by default
        QVERIFY(Import(kPartsList));
        const QString dxf = QString::fromStdU16String(f.DxfPath().u16string());
        const auto drawing = [&] {
            QFile file(dxf);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        f.Button4->click();
        QVERIFY(!drawing().contains("$DWGCODEPAGE"));
        f.PageControl1->setCurrentIndex(1);
        f.CheckBox2->click();
        f.Button4->click();
        QVERIFY(drawing().contains("$DWGCODEPAGE\r\n  3\r\nANSI_932") ||
                drawing().contains("$DWGCODEPAGE\n  3\nANSI_932"));
        QFile::remove(dxf);
        QVERIFY(f.close());
        form_ = std::make_unique<TForm1>(prompt_.get());
        QVERIFY(Form().CheckBox2->isChecked());
        QVERIFY(Form().CurrentSettings().declareCodepage);
    }

    void closingStillClosesWhenTheSettingsCannotBeSaved() {
        TForm1& f = Form();
        const QString ini = QString::fromStdU16String(f.SettingsPath().u16string());
        QFile::remove(ini);
        QVERIFY(QDir().mkdir(ini)); // a folder where the file should go
        const bool closed = f.close();
        QDir(ini).removeRecursively();
        QVERIFY(closed);
        QCOMPARE(prompt_->shown.size(), std::size_t(1));
        QCOMPARE(prompt_->shown[0].kind, QStringLiteral("error"));
        QVERIFY(prompt_->shown[0].text.contains(QFileInfo(ini).fileName()));
    }

    void commandsDuringAnImportWaitAndClosingStopsIt() {
        std::vector<CellSpec> cells(40 * 2, CellSpec{10, QStringLiteral("t")});
        prompt_->file = WriteSnapshot(Path("big.json"), 40, cells);
#ifdef _WIN32
        test::FakeExcel excel(prompt_->file.toStdU16String());
        test::RunningServer running(L"Excel.Application", test::kFakeExcelClsid, &excel.app);
#endif
        TForm1& f = Form();
        bool busy = false;
        QTimer::singleShot(0, &f, [&] {
            QVERIFY(f.Importing());
            QVERIFY(!f.Button3->isEnabled() && !f.Button4->isEnabled());
            f.Button3->click(); // disabled: ignored
            f.Button3Click();   // and the handler itself refuses to nest
            prompt_->answers = {true, true};
            Enter(f.Edit11, QStringLiteral("5"));
            f.Button1->click();
            f.PopupMenu1->findChild<QAction*>(QStringLiteral("N1"))->trigger();
            // From the moment the file is chosen the window is busy, before any row is read.
            busy = f.Label4->text() == QStringLiteral("読み込んでいます...") &&
                   f.ProgressBar1->maximum() == 0 && QApplication::overrideCursor() &&
                   QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QVERIFY(!f.close()); // refused for now: the import stops at its next row
        });
        f.Button3->click();
#ifndef _WIN32 // reading the running Excel shows its rows at once, with no file to open first
        QVERIFY(busy);
#endif
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.isVisible());
        QVERIFY(!f.Importing());
        QVERIFY(prompt_->shown.empty()); // no questions, no import messages
#ifndef _WIN32
        QCOMPARE(prompt_->folders.size(), std::size_t(1));
#endif
        QCOMPARE(f.Texts().rows(), 40); // the grid keeps its new size, nothing half-made
        QVERIFY(QFileInfo::exists(QString::fromStdU16String(f.SettingsPath().u16string())));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
