// StringGrid1, the table on the first page: its set-up, the current cell and the selection,
// header clicks and the current cell's details.
#include "app/MainWindow.h"

#include "app/GridDelegate.h"
#include "app/GridModel.h"
#include "app/WindowHelpers.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QToolButton>

using namespace sheetlift;
using namespace window;

namespace {

// Windows' active-caption colour, which the grid's fixed cells wear.
const QColor kActiveCaption(153, 180, 209);

} // namespace

void TForm1::BuildStringGrid1() {
    model_ = new GridModel(texts_, this);
    StringGrid1->setModel(model_);
    StringGrid1->setItemDelegate(new GridDelegate(table_, StringGrid1));
    StringGrid1->setFont(SheetliftFont(13));
    StringGrid1->setToolTip(QStringLiteral(
        "範囲選択=固定部クリック or [Shit]+矢印キー. 右クリックで選択範囲の文字変換メニュー"));
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    StringGrid1->setWordWrap(false);
    // Fixed cells: the active-caption colour, texts centred from the top like the data cells.
    QPalette fixedCells = StringGrid1->palette();
    fixedCells.setColor(QPalette::Button, kActiveCaption);
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()}) {
        header->setPalette(fixedCells);
        header->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignTop);
        header->setMinimumSectionSize(0);
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setSectionsClickable(true);
        // The grid's own header selection would make the clicked cell current and select
        // while dragging; a click here selects the whole column or row and nothing else.
        disconnect(header, &QHeaderView::sectionPressed, StringGrid1, nullptr);
        disconnect(header, &QHeaderView::sectionEntered, StringGrid1, nullptr);
    }
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->verticalHeader()->setFixedWidth(70);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { StringGrid1FixedCellClick(column + 1, 0); });
    connect(StringGrid1->verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int row) { StringGrid1FixedCellClick(0, row + 1); });
    if (auto* corner = StringGrid1->findChild<QAbstractButton*>()) {
        corner->setPalette(fixedCells);
        disconnect(corner, nullptr, StringGrid1, nullptr);
        connect(corner, &QAbstractButton::clicked, this,
                [this] { StringGrid1FixedCellClick(0, 0); });
    }
    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!quietCurrentChange_)
            StringGrid1Click();
    });
    connect(StringGrid1, &QTableView::clicked, this, &TForm1::StringGrid1Click);
    // After an edit in place Edit1 shows the new text, so typing there cannot undo the edit.
    connect(StringGrid1->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            &TForm1::StringGrid1Click);
    StringGrid1->installEventFilter(this);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(pos));
    });
}

QPoint TForm1::CurrentCell() const {
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? QPoint(current.column() + 1, current.row() + 1) : QPoint(0, 0);
}

GridRect TForm1::Selection() const {
    const QItemSelection selection = StringGrid1->selectionModel()->selection();
    if (selection.isEmpty()) {
        const QPoint c = CurrentCell();
        if (c.x() == 0)
            return GridRect{1, 1, 0, 0}; // nothing
        return GridRect{c.x(), c.y(), c.x(), c.y()};
    }
    GridRect rect{INT_MAX, INT_MAX, 0, 0};
    for (const QItemSelectionRange& range : selection) {
        rect.left = std::min(rect.left, range.left() + 1);
        rect.top = std::min(rect.top, range.top() + 1);
        rect.right = std::max(rect.right, range.right() + 1);
        rect.bottom = std::max(rect.bottom, range.bottom() + 1);
    }
    return rect;
}

void TForm1::SetSelection(const GridRect& rect) {
    const QModelIndex topLeft = model_->index(rect.top - 1, rect.left - 1);
    const QModelIndex bottomRight = model_->index(rect.bottom - 1, rect.right - 1);
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    quietCurrentChange_ = true;
    StringGrid1->selectionModel()->setCurrentIndex(bottomRight, QItemSelectionModel::NoUpdate);
    StringGrid1->selectionModel()->select(QItemSelection(topLeft, bottomRight),
                                          QItemSelectionModel::ClearAndSelect);
    quietCurrentChange_ = false;
    // The details follow the new current cell, so typing in Edit1 never writes the text of the
    // cell that was current before into this one.
    StringGrid1Click();
}

void TForm1::StringGrid1FixedCellClick(int col, int row) {
    const int columns = model_->columnCount() + 1, rows = model_->rowCount() + 1;
    if (col == 0 && row == 0)
        SetSelection({1, 1, columns - 1, rows - 1});
    else if (row == 0)
        SetSelection({col, 1, col, rows - 1});
    else if (col == 0)
        SetSelection({1, row, columns - 1, row});
}

void TForm1::StringGrid1Click() {
    const QPoint c = CurrentCell();
    Edit1->setText(model_->Text(c.y() - 1, c.x() - 1));
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text,
                     Edit1->text().contains(QLatin1Char('\n')) ? Qt::red : Qt::black);
    Edit1->setPalette(palette);
    Label13->clear();
    if (c.x() > 0 && c.y() > 0 && !table_.empty()) {
        const int i = c.y() - 1, j = c.x() - 1;
        const std::uint8_t align = table_.at(i, j).txtAlign;
        SpeedButton1->setAutoRaise(align != 1);
        SpeedButton2->setAutoRaise(align != 2);
        SpeedButton3->setAutoRaise(align != 3);
        const char sep = DecimalSeparator();
        Edit11->setText(Q(FormatFixed3(CellSize(table_, i, j, SizeField::ColumnWidth), sep)));
        Edit12->setText(Q(FormatFixed3(CellSize(table_, i, j, SizeField::RowHeight), sep)));
        Edit13->setText(Q(FormatFixed3(CellSize(table_, i, j, SizeField::TextHeight), sep)));
    }
}

void TForm1::ClearSelection() {
    ConvertSelection([](std::string_view) { return std::string(); });
}
