// PopupMenu1, the grid's right-click menu: the width conversions and the replace of the
// selected cells' texts.
#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/GridModel.h"
#include "app/Prompt.h"
#include "app/WindowHelpers.h"
#include "textconv/RangeText.h"
#include "textconv/TextFunctions.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace sheetlift;
using namespace window;

void TForm1::BuildPopupMenu() {
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    const auto item = [this](const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* action = Named(PopupMenu1->addAction(caption), name);
        connect(action, &QAction::triggered, this,
                [this, handler] { Guard([=, this] { (this->*handler)(); }); });
    };
    const auto separator = [this](const char* name) { Named(PopupMenu1->addSeparator(), name); };
    item("N1", QStringLiteral("半角->全角"), &TForm1::N1Click);
    item("N12", QStringLiteral("半角->全角（数字のみの文字列は除外）"), &TForm1::N12Click);
    item("N5", QStringLiteral("半角カナ->全角"), &TForm1::N5Click);
    separator("N3");
    item("N2", QStringLiteral("全角->半角"), &TForm1::N2Click);
    item("N6", QStringLiteral("全角数字->半角"), &TForm1::N6Click);
    item("N7", QStringLiteral("全角アルファベット->半角"), &TForm1::N7Click);
    separator("N8");
    item("N9", QStringLiteral("代替文字を含む禁止文字->半角"), &TForm1::N9Click);
    separator("N10");
    item("N4", QStringLiteral("置換"), &TForm1::N4Click);
    separator("N13");
    item("N11", QStringLiteral("名前を付けて保存..."), &TForm1::N11Click);
    // Saving needs a table, as "IJCAD へ挿入" does.
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] {
        PopupMenu1->findChild<QAction*>(QStringLiteral("N11"))->setEnabled(Button4->isEnabled());
    });
}

void TForm1::ConvertSelection(TextRoutine routine) {
    if (importing_ || texts_.rows() == 0)
        return;
    const GridRect rect = Selection();
    ConvertRange(texts_, rect, routine);
    model_->TextsChanged(rect.top - 1, rect.left - 1, rect.bottom - 1, rect.right - 1);
    // Edit1 shows the converted text: with the old one, the next keystroke there would undo
    // the conversion of the current cell.
    StringGrid1Click();
}

void TForm1::N1Click() {
    ConvertSelection(ToFullWidth);
}

void TForm1::N12Click() {
    ConvertSelection(ToFullWidthUnlessNumeric);
}

void TForm1::N5Click() {
    ConvertSelection(HalfKanaToFull);
}

void TForm1::N2Click() {
    ConvertSelection(ToHalfWidth);
}

void TForm1::N6Click() {
    ConvertSelection(FullDigitsToHalf);
}

void TForm1::N7Click() {
    ConvertSelection(FullAlphaToHalf);
}

void TForm1::N9Click() {
    ConvertSelection(FullSymbolsToHalf);
}

void TForm1::N4Click() {
    if (importing_ || !prompt_->RunDialog(*Form3))
        return;
    int count = 0;
    if (texts_.rows() != 0) {
        const GridRect rect = Selection();
        count = ReplaceFirstInRange(texts_, rect, S(Form3->Edit1->text()), S(Form3->Edit2->text()));
        model_->TextsChanged(rect.top - 1, rect.left - 1, rect.bottom - 1, rect.right - 1);
        StringGrid1Click();
    }
    prompt_->Inform(this, kAppTitle,
                    QString::number(count) + QStringLiteral(" 個の文字列を置換しました."));
}

void TForm1::N11Click() {
    if (importing_ || table_.empty())
        return;
    const QString file = prompt_->ChooseSaveFile(
        this,
        QString::fromStdU16String((saveAsPath_.empty() ? dxfPath_ : saveAsPath_).u16string()));
    if (file.isEmpty())
        return;
    std::filesystem::path path(file.toStdU16String());
    if (!path.has_extension())
        path += ".dxf";
    saveAsPath_ = path;
    ExportDxf(path);
}
