// The first page, " 取得、描画": import (Button3), export (Button4), the size boxes, the text
// base-point buttons and the cell text editor Edit1. The grid below them: StringGrid1.cpp.
#include "app/MainWindow.h"

#include "app/GridModel.h"
#include "app/Prompt.h"
#include "app/WindowHelpers.h"
#include "cad/CadBridge.h"
#include "dxf/TableDxf.h"
#include "excel/ExcelSource.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

using namespace sheetlift;
using namespace window;

namespace {

// Panel1 is laid out for this width; right-anchored controls keep their distance to its edge.
constexpr int kDesignPanelWidth = 424;
constexpr int kDesignEdit2X = 176;

// The wait cursor while a command works without letting the window take input.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Thrown from the import's per-row progress when the window is being closed.
struct ImportCancelled {};

} // namespace

// What the import writes into the window. Rows and columns are table indices; the grid shows
// them below and right of its headers.
class WindowImportSink : public ImportSink {
  public:
    explicit WindowImportSink(TForm1& form) : f_(form) {}

    void SetCaption(const std::string& caption) override { f_.setWindowTitle(Q(caption)); }
    void SetAddresses(const std::string& first, const std::string& last) override {
        f_.Edit2->setText(Q(first));
        f_.Edit3->setText(Q(last));
    }
    void BeginGrid(int rows, int columns) override {
        f_.StringGrid1->setUpdatesEnabled(false);
        f_.quietCurrentChange_ = true;
        f_.model_->Reset(rows, columns);
        f_.StringGrid1->setCurrentIndex(f_.model_->index(0, 0));
        f_.quietCurrentChange_ = false;
        f_.StringGrid1->verticalHeader()->setFixedWidth(70);
        f_.ProgressBar1->setRange(0, rows);
        f_.ProgressBar1->setValue(0);
        rowHeights_.assign(std::size_t(rows), -1);
        columnWidths_.assign(std::size_t(columns), -1);
    }
    void EndGrid() override {
        // Sizes go to the headers in one batch: a header that changes between event pumps
        // makes the view re-measure its header texts at every row.
        Apply(f_.StringGrid1->verticalHeader(), rowHeights_);
        Apply(f_.StringGrid1->horizontalHeader(), columnWidths_);
        f_.model_->Refresh();
        f_.StringGrid1->setUpdatesEnabled(true);
        f_.StringGrid1->viewport()->update();
    }
    void Progress(int row, int rows) override {
        f_.Label4->setText(QStringLiteral("%1 / %2").arg(row).arg(rows));
        f_.FitLabel4();
        f_.ProgressBar1->setValue(row);
        QCoreApplication::processEvents();
        if (f_.closeRequested_)
            throw ImportCancelled{};
    }
    void SetRowHeader(int row, const std::string& text) override {
        f_.model_->SetRowHeader(row, text);
    }
    void SetRowHeight(int row, int pixels) override { rowHeights_[std::size_t(row)] = pixels; }
    void SetColumnHeader(int column, const std::string& text) override {
        f_.model_->SetColumnHeader(column, text);
    }
    void SetColumnWidth(int column, int pixels) override {
        columnWidths_[std::size_t(column)] = pixels;
    }
    void SetCellText(int row, int column, const std::string& text) override {
        f_.texts_.SetText(row, column, text);
    }

  private:
    static void Apply(QHeaderView* header, const std::vector<int>& sizes) {
        for (std::size_t k = 0; k < sizes.size(); ++k)
            if (sizes[k] >= 0)
                header->resizeSection(int(k), sizes[k]);
    }

    TForm1& f_;
    std::vector<int> rowHeights_; // -1: not read
    std::vector<int> columnWidths_;
};

void TForm1::BuildPage1() {
    Panel1 = Named(new QWidget(TabSheet1), "Panel1");
    Panel1->setFixedHeight(99);
    Panel1->installEventFilter(this);
    Panel2 = Named(new QWidget(TabSheet1), "Panel2");
    auto* page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(Panel1);
    page->addWidget(Panel2);

    const auto button = [this](const char* name, const QString& caption, QRect geometry) {
        auto* b = Named(new QPushButton(caption, Panel1), name);
        b->setGeometry(geometry);
        return b;
    };
    Button2 = button("Button2", QStringLiteral("Bricscad へ描画"), {8, 1, 90, 25});
    Button2->hide();
    Label1 = PlaceLabel(Panel1, QStringLiteral("対象セル："), 174, 3, "Label1");
    Button3 = button("Button3", QStringLiteral("Excel から取得"), {324, 1, 90, 25});
    // Without a running Excel to read the button opens a saved workbook or a recorded selection.
    Button3->setToolTip(CanReadRunningExcel()
                            ? QStringLiteral("アクティブな Excel から選択範囲を取得します")
                            : QStringLiteral("保存したブック (.xlsx, .xlsm) か記録した選択範囲 "
                                             "(.json) を開いて取得します"));
    const auto address = [this](const char* name, QRect geometry) {
        auto* e = Named(new QLineEdit(Panel1), name);
        e->setGeometry(geometry);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
        e->setFont(SheetliftFont(13));
        return e;
    };
    // The address boxes are wider than Excel's own, so that an address like CV1000 fits.
    Edit2 = address("Edit2", {kDesignEdit2X, 22, 62, 24});
    Label2 = PlaceLabel(Panel1, QStringLiteral("～"), 240, 24, "Label2");
    Edit3 = address("Edit3", {256, 22, 62, 24});
    Label4 = PlaceLabel(Panel1, QString(), 8, 32, "Label4"); // its width ends before Edit2
    Button4 = button("Button4", QStringLiteral("IJCAD へ挿入"), {324, 32, 90, 36});
    Button4->setToolTip(QStringLiteral("DXF ファイル作成,、AutoCAD, Bricscad に挿入"));
    Button4->setEnabled(false);
    connect(Button3, &QPushButton::clicked, this, [this] { Guard([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { Guard([this] { Button4Click(); }); });

    Edit13 = NumberBox(Panel1, "Edit13", {8, 52, 49, 21});
    Edit13->setToolTip(QStringLiteral("文字高さ [Enter]で更新"));
    const auto speed = [this](const char* name, const QString& caption, const QString& hint,
                              int x) {
        auto* b = Named(new QToolButton(Panel1), name);
        b->setText(caption);
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus); // a speed button never takes the focus from the grid
        b->setGeometry(x, 50, 23, 22);
        connect(b, &QToolButton::clicked, this, [this, b] { SpeedButton1Click(b); });
        return b;
    };
    SpeedButton1 = speed("SpeedButton1", QStringLiteral("左"), QStringLiteral("文字基点 [左]"), 61);
    // Side by side, not overlapping: a click at the edge of one button never hits its neighbour.
    SpeedButton2 = speed("SpeedButton2", QStringLiteral("中"), QStringLiteral("文字基点 [中]"), 84);
    SpeedButton3 =
        speed("SpeedButton3", QStringLiteral("右"), QStringLiteral("文字基点 [右]"), 107);
    Edit11 = NumberBox(Panel1, "Edit11", {133, 52, 49, 21});
    Edit11->setToolTip(QStringLiteral("列幅 [Enter]で更新"));
    Edit12 = NumberBox(Panel1, "Edit12", {188, 52, 49, 21});
    Edit12->setToolTip(QStringLiteral("行高さ [Enter]で更新"));
    connect(Edit11, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit11KeyPress(); }); });
    connect(Edit12, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit12KeyPress(); }); });
    connect(Edit13, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit13KeyPress(); }); });
    CheckBox1 = Named(new QCheckBox(QStringLiteral("セルを描画"), Panel1), "CheckBox1");
    // Its right edge stays where the design has it; a font with wider glyphs than Tahoma's
    // widens it to the left, into the free room after Edit12, rather than cutting its text.
    const int checkWidth = std::max(71, CheckBox1->sizeHint().width());
    CheckBox1->setGeometry(320 - checkWidth, 52, checkWidth, 17);
    Edit1 = Named(new QLineEdit(Panel1), "Edit1");
    Edit1->setGeometry(8, 74, 364, 24);
    Edit1->setFont(SheetliftFont(13));
    Edit1->setToolTip(QStringLiteral("赤文字の時：改行コードが含まれている"));
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    Label13 = PlaceLabel(Panel1, QString(), 378, 80, "Label13");
    Label13->setFixedWidth(46);

    StringGrid1 = Named(new QTableView(Panel2), "StringGrid1");
    ProgressBar1 = Named(new QProgressBar(Panel2), "ProgressBar1");
    ProgressBar1->setFixedHeight(9);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    Label14 = Named(new QLabel(Panel2), "Label14");
    Label14->setContentsMargins(4, 1, 4, 1);
    Label14->setTextInteractionFlags(Qt::TextSelectableByMouse); // the path can be copied
    Label14->hide();
    auto* lower = new QVBoxLayout(Panel2);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    lower->addWidget(StringGrid1);
    lower->addWidget(Label14);
    lower->addWidget(ProgressBar1);

    BuildStringGrid1();
}

void TForm1::PlaceRightAnchored() {
    const int shift = Panel1->width() - kDesignPanelWidth;
    const struct {
        QWidget* widget;
        int x;
        int y;
    } anchored[] = {{Label1, 174, 3},
                    {Button3, 324, 1},
                    {Edit2, kDesignEdit2X, 22},
                    {Label2, 240, 24},
                    {Edit3, 256, 22},
                    {Button4, 324, 32},
                    {CheckBox1, 320 - CheckBox1->width(), 52},
                    {Label13, 378, 80}};
    for (const auto& a : anchored)
        a.widget->move(a.x + shift, a.y);
    Edit1->resize(std::max(364 + shift, 40), Edit1->height());
    FitLabel4();
}

void TForm1::FitLabel4() {
    // Label4 ends 4 pixels before Edit2, which follows the right edge. A line longer than the
    // room at the design width raises the window's smallest width, so it is never cut off.
    const int designRoom = kDesignEdit2X - 4 - Label4->x();
    const int extra = std::max(Label4->sizeHint().width() - designRoom, 0);
    if (minimumWidth() != kDesignSize.width() + extra)
        setMinimumWidth(kDesignSize.width() + extra);
    Label4->resize(std::max(Edit2->x() - 4 - Label4->x(), 0), Label4->sizeHint().height());
}

void TForm1::SetStatus(const QString& text) {
    Label14->setText(text);
    Label14->setVisible(!text.isEmpty());
}

void TForm1::Edit1Change() {
    const QPoint c = CurrentCell();
    if (c.x() >= 1 && c.y() >= 1)
        model_->SetText(c.y() - 1, c.x() - 1, Edit1->text());
}

void TForm1::Edit1KeyUp(int key) {
    if (key < Qt::Key_Left || key > Qt::Key_Down)
        return;
    const int p = Edit1->hasSelectedText() ? Edit1->selectionStart() : Edit1->cursorPosition();
    const QString text = Edit1->text();
    if (p < text.size())
        Label13->setText(
            QStringLiteral("[%1]").arg(text[p].unicode(), 4, 16, QLatin1Char('0')).toUpper());
    else
        Label13->clear();
}

void TForm1::SpeedButton1Click(QToolButton* sender) {
    const int value = sender == SpeedButton1   ? 1
                      : sender == SpeedButton2 ? 2
                      : sender == SpeedButton3 ? 3
                                               : 0;
    if (value == 0)
        return;
    const QPoint c = CurrentCell();
    if (!importing_ && c.x() >= 1 && c.y() >= 1 && !table_.empty()) {
        const GridRect rect = Selection();
        for (int y = std::max(rect.top, 1); y <= std::min(rect.bottom, table_.cellRows); ++y)
            for (int x = std::max(rect.left, 1); x <= std::min(rect.right, table_.cellCols); ++x)
                table_.at(y - 1, x - 1).txtAlign = std::uint8_t(value);
    }
    StringGrid1->viewport()->update();
}

void TForm1::SizeBoxEnter(QLineEdit* box, SizeField field, const QString& question) {
    if (importing_)
        return;
    const char sep = DecimalSeparator();
    const double value = ParseSizeText(S(box->text()), sep);
    if (!(value > 0) || table_.empty())
        return;
    if (prompt_->Confirm(StringGrid1, question)) {
        SetSizeForSelection(table_, Selection(), field, value);
        box->setText(Q(FormatFixed3(value, sep)));
        ShowWHSize();
    } else {
        const QPoint c = CurrentCell();
        box->setText(Q(FormatFixed3(CellSize(table_, c.y() - 1, c.x() - 1, field), sep)));
    }
}

void TForm1::Edit11KeyPress() {
    SizeBoxEnter(Edit11, SizeField::ColumnWidth, QStringLiteral("選択範囲の列幅を変更しますか？"));
}

void TForm1::Edit12KeyPress() {
    SizeBoxEnter(Edit12, SizeField::RowHeight, QStringLiteral("選択範囲の行高さを変更しますか？"));
}

void TForm1::Edit13KeyPress() {
    SizeBoxEnter(Edit13, SizeField::TextHeight,
                 QStringLiteral("選択範囲の文字高さを変更しますか？"));
}

void TForm1::ShowWHSize() {
    Label4->setText(Q(WHSizeText(table_, DecimalSeparator())));
    FitLabel4();
}

void TForm1::Button3Click() {
    if (importing_)
        return;
    const bool hadTable = Button4->isEnabled();
    Button3->setEnabled(false);
    Button4->setEnabled(false);
    // The running Excel where there is one to read; elsewhere a saved workbook or snapshot.
    QString file;
    if (!CanReadRunningExcel()) {
        file = prompt_->ChooseFile(this, lastFolder_);
        if (file.isEmpty()) {
            Button4->setEnabled(hadTable);
            Button3->setEnabled(true);
            return;
        }
        lastFolder_ = QFileInfo(file).absolutePath();
    }
    bool done = false;
    QString attachFailure, reason;
    importing_ = true;
    {
        // Opening and parsing a large workbook takes a while before the first row arrives: the
        // window says so at once, with a busy bar, until the rows take over.
        const WaitCursor wait;
        Label4->setText(file.isEmpty() ? QStringLiteral("Excel から読み込んでいます...")
                                       : QStringLiteral("読み込んでいます..."));
        FitLabel4();
        ProgressBar1->setRange(0, 0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        try {
            WindowImportSink sink(*this);
            const auto source =
                file.isEmpty() ? MakeExcelSource()
                               : OpenSelectionFile(std::filesystem::path(file.toStdU16String()));
            ImportSelection(*source, sink, table_, settings_);
            done = true;
        } catch (const ImportCancelled&) {
        } catch (const AttachError& e) {
            attachFailure =
                QStringLiteral("クラス名: ") + Q(e.progId()) + QStringLiteral(" は無効です.");
        } catch (const std::exception& e) {
            reason = ReasonText(e);
        }
    }
    importing_ = false;
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    if (closeRequested_) {
        Button3->setEnabled(true);
        close();
        return;
    }
    // The details follow the grid's new current cell, so that typing in Edit1 never writes an
    // earlier table's text into the new one.
    StringGrid1Click();
    if (done) {
        ShowWHSize();
        prompt_->Inform(this, kMessageCaption, QStringLiteral(" 取得しました."));
        Button4->setEnabled(true);
        StringGrid1->setFocus(); // the arrow keys move through the new table at once
    } else {
        Label4->clear();
        if (!attachFailure.isEmpty())
            prompt_->Inform(this, kMessageCaption, attachFailure);
        QString text = QStringLiteral("取得に失敗しました.");
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        prompt_->Inform(this, kMessageCaption, text);
    }
    Button3->setEnabled(true);
}

void TForm1::Button4Click() {
    if (importing_)
        return;
    if (ExportDxf(dxfPath_))
        InsertDxfIntoCad(dxfPath_);
}

bool TForm1::ExportDxf(const std::filesystem::path& path) {
    DxfOptions options;
    options.declareCodepage = settings_.declareCodepage;
    const DxfResult result =
        WriteTableDxf(table_, texts_, settings_, CheckBox1->isChecked(), path, options);
    if (!result.written)
        return false;
    // Without a CAD to insert into, the file is the result: the user needs to know where it is.
    SetStatus(QStringLiteral("図面を書き出しました: ") +
              QDir::toNativeSeparators(QString::fromStdU16String(path.u16string())));
    QStringList lines;
    if (!result.lostCells.empty()) {
        constexpr std::size_t kShown = 20;
        QStringList cells;
        for (std::size_t k = 0; k < result.lostCells.size() && k < kShown; ++k)
            cells << Q(result.lostCells[k]);
        QString list = cells.join(QStringLiteral(", "));
        if (result.lostCells.size() > kShown)
            list += QStringLiteral(" ほか %1 セル").arg(result.lostCells.size() - kShown);
        lines << QStringLiteral("次のセルの文字列には DXF ファイルの文字コードで表せない文字が"
                                "あるため、「?」または似た文字で書き出しました:")
              << list;
    }
    for (const std::string& warning : result.warnings)
        lines << Q(warning);
    if (!lines.isEmpty())
        prompt_->Inform(this, kMessageCaption, lines.join(QLatin1Char('\n')));
    return true;
}
