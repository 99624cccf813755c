// Saves pictures of the window with the bundled sample workbook imported, at its starting size:
// both pages, the table after "半角->全角", the status line after an export, the popup menu,
// and the drawing page at a larger size.
// Usage: sheetlift_screenshot OUTPUT_DIR
#include "ScriptedPrompt.h"

#include "app/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <QTabWidget>
#include <QTableView>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetUpApplication(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sheetlift_screenshot OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    ScriptedPrompt prompt;
    prompt.file = QStringLiteral(SHEETLIFT_SAMPLE);
    TForm1 form(&prompt);
    form.show(); // at the starting size
    form.Button3Click();
    if (prompt.shown.empty() || prompt.shown[0].text != QStringLiteral(" 取得しました.")) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(prompt.Texts()));
        return 1;
    }
    form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(3, 2)); // C4, two lines
    form.StringGrid1->scrollTo(form.StringGrid1->model()->index(0, 0));
    QApplication::processEvents();
    bool ok = form.grab().save(out.filePath(QStringLiteral("main-window.png")));

    // "半角->全角" over the whole table: the full-width forms are visibly wider.
    form.StringGrid1FixedCellClick(0, 0);
    form.N1Click();
    form.SetSelection({3, 5, 3, 5}); // C5, the hexagon bolt, in Edit1
    form.StringGrid1->scrollTo(form.StringGrid1->model()->index(3, 0),
                               QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    ok = form.grab().save(out.filePath(QStringLiteral("main-window-full-width.png"))) && ok;
    form.Button4Click(); // the status line says where the drawing went
    QApplication::processEvents();
    ok = form.grab().save(out.filePath(QStringLiteral("main-window-exported.png"))) && ok;

    form.PopupMenu1->popup(form.StringGrid1->viewport()->mapToGlobal(QPoint(120, 40)));
    QApplication::processEvents();
    ok = form.PopupMenu1->grab().save(out.filePath(QStringLiteral("popup-menu.png"))) && ok;
    form.PopupMenu1->hide();

    form.PageControl1->setCurrentIndex(1);
    QApplication::processEvents();
    ok = form.grab().save(out.filePath(QStringLiteral("settings-page.png"))) && ok;

    // The drawing wants more room than the starting size gives it.
    form.PageControl1->setCurrentIndex(2);
    form.resize(800, 440);
    QApplication::processEvents();
    ok = form.grab().save(out.filePath(QStringLiteral("drawing-page.png"))) && ok;
    return ok ? 0 : 1;
}
