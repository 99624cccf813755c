// The second page, " 設定、確認": the scale boxes, "変更を反映" (Button1), the summary grid
// StringGrid2 and the reverse calculation (Button5).
#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/Prompt.h"
#include "app/WindowHelpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

using namespace sheetlift;
using namespace window;

void TForm1::BuildPage2() {
    auto* display = Named(new QGroupBox(QStringLiteral("表示"), TabSheet2), "GroupBox1");
    display->setGeometry(3, 3, 166, 70);
    PlaceLabel(display, QStringLiteral("X 尺度"), 12, 19);
    PlaceLabel(display, QStringLiteral("Y 尺度"), 12, 44);
    Edit4 = NumberBox(display, "Edit4", {74, 16, 78, 21});
    Edit5 = NumberBox(display, "Edit5", {74, 41, 78, 21});

    auto* cad = Named(new QGroupBox(QStringLiteral("CAD, DXF"), TabSheet2), "GroupBox2");
    cad->setGeometry(3, 75, 166, 182);
    PlaceLabel(cad, QStringLiteral("X 尺度"), 12, 22);
    PlaceLabel(cad, QStringLiteral("Y 尺度"), 12, 47);
    PlaceLabel(cad, QStringLiteral("文字尺度"), 12, 72);
    Edit6 = NumberBox(cad, "Edit6", {74, 19, 78, 21});
    Edit7 = NumberBox(cad, "Edit7", {74, 44, 78, 21});
    Edit8 = NumberBox(cad, "Edit8", {74, 69, 78, 21});
    PlaceLabel(cad, QStringLiteral("文字基点オフセット X 尺度"), 12, 95);
    PlaceLabel(cad, QStringLiteral("文字高さの"), 12, 114);
    Edit9 = NumberBox(cad, "Edit9", {74, 111, 66, 21});
    PlaceLabel(cad, QStringLiteral("倍"), 144, 114);
    auto* colorLabel = PlaceLabel(cad, QStringLiteral("セル区切り線の色番号"), 12, 137);
    auto* bylayer = PlaceLabel(cad, QStringLiteral("( BYLAER = 256 )"), 12, 156);
    Edit10 = NumberBox(cad, "Edit10", {114, 153, 38, 21});
    for (QWidget* w : {static_cast<QWidget*>(colorLabel), static_cast<QWidget*>(bylayer),
                       static_cast<QWidget*>(Edit10)})
        w->setEnabled(false);

    Button1 = Named(new QPushButton(QStringLiteral("変更を反映"), TabSheet2), "Button1");
    Button1->setGeometry(254, 206, 90, 26);
    connect(Button1, &QPushButton::clicked, this, [this] { Guard([this] { Button1Click(); }); });
    StringGrid2 = Named(new QTableWidget(5, 3, TabSheet2), "StringGrid2");
    StringGrid2->setGeometry(178, 81, 231, 116);
    Button5 = Named(new QPushButton(QStringLiteral("逆算"), TabSheet2), "Button5");
    Button5->setGeometry(374, 50, 41, 25);
    Button5->hide();
    // Readers outside a Japanese Windows (LibreCAD, ezdxf, GDAL) take the texts for a Western
    // code page unless the drawing names its own; IJCAD on Japanese Windows needs nothing.
    CheckBox2 = Named(new QCheckBox(QStringLiteral("DXF に $DWGCODEPAGE を書き込む"), TabSheet2),
                      "CheckBox2");
    CheckBox2->setToolTip(QStringLiteral("日本語版 Windows 以外で図面を読むとき (LibreCAD, "
                                         "ezdxf など) に文字化けしないよう、コードページ "
                                         "ANSI_932 を図面に書き込みます"));
    CheckBox2->move(178, 12);
    CheckBox2->adjustSize();
    connect(Button5, &QPushButton::clicked, this, [this] { Guard([this] { Button5Click(); }); });
}

void TForm1::showWhSizeGrid2() {
    const std::optional<SizeSummary> summary = SummarizeSizes(table_, DecimalSeparator());
    if (!summary)
        return;
    for (int row = 0; row < 5; ++row) {
        StringGrid2->item(row, 1)->setText(Q(summary->shown[std::size_t(row)]));
        StringGrid2->item(row, 2)->setText(Q(summary->values[std::size_t(row)]));
    }
}

void TForm1::Button1Click() {
    if (importing_ || table_.empty())
        return;
    if (!prompt_->Confirm(this,
                          QStringLiteral("尺度を更新すると個別に設定した列幅、列高さ、文字高さが"
                                         "リセット（再計算）されます．\n設定を更新しますか？")))
        return;
    settings_ =
        SettingsFromTexts({S(Edit4->text()), S(Edit5->text()), S(Edit6->text()), S(Edit7->text()),
                           S(Edit8->text()), S(Edit9->text()), S(Edit10->text())},
                          settings_, DecimalSeparator());
    CalcCellLayout(table_, settings_);
    StringGrid1->viewport()->update();
    showWhSizeGrid2();
    StringGrid1Click(); // the size boxes show the current cell's new sizes
}

void TForm1::Button5Click() {
    const auto checks = Form4->CheckBoxes();
    const auto edits = Form4->Edits();
    for (int row = 0; row < 5; ++row)
        edits[std::size_t(row)]->setText(StringGrid2->item(row, 2)->text());
    for (QCheckBox* check : checks)
        check->setChecked(false);
    if (importing_ || table_.empty())
        return;
    if (!prompt_->RunDialog(*Form4))
        return;
    QLineEdit* const scales[] = {Edit6, Edit7, Edit8};
    const char sep = DecimalSeparator();
    bool ticked = false;
    for (int row = 0; row < 5; ++row) {
        if (!checks[std::size_t(row)]->isChecked())
            continue;
        ticked = true;
        QLineEdit* scale = scales[kReverseScaleOfRow[std::size_t(row)]];
        if (const auto text =
                ReverseScale(S(StringGrid2->item(row, 2)->text()),
                             S(edits[std::size_t(row)]->text()), S(scale->text()), sep))
            scale->setText(Q(*text));
    }
    if (ticked)
        Button1Click();
}
