#include "app/GridDelegate.h"

#include <QPainter>
#include <QPen>
#include <QTableView>
#include <QWidget>

#include <algorithm>

GridDelegate::GridDelegate(const sheetlift::CellTable& table, QObject* parent)
    : QStyledItemDelegate(parent), table_(table) {}

namespace {

// The merged area that cell (i, j) belongs to, walked along the outline edges that the layout
// pass gives every cell of an area.
struct Area {
    int top, left, bottom, right;
};

Area AreaOf(const sheetlift::CellTable& table, int i, int j) {
    using namespace sheetlift;
    Area a{i, j, i, j};
    while (a.left > 0 && !(table.at(i, a.left).mergeBits & kEdgeLeft))
        --a.left;
    while (a.top > 0 && !(table.at(a.top, j).mergeBits & kEdgeTop))
        --a.top;
    while (a.right < table.cellCols - 1 && !(table.at(i, a.right).mergeBits & kEdgeRight))
        ++a.right;
    while (a.bottom < table.cellRows - 1 && !(table.at(a.bottom, j).mergeBits & kEdgeBottom))
        ++a.bottom;
    return a;
}

Qt::Alignment AlignmentOf(const sheetlift::TXlsxCellAttr& cell) {
    if (cell.txtAlign == 2)
        return Qt::AlignHCenter;
    if (cell.txtAlign == 3)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

} // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int i = index.row(), j = index.column();
    if (table_.empty() || i >= table_.cellRows || j >= table_.cellCols) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const sheetlift::TXlsxCellAttr& cell = table_.at(i, j);
    const bool selected = option.state & QStyle::State_Selected;
    const bool merged = cell.mark || cell.drawMW > 0 || cell.drawMH > 0;
    // A merged area keeps its pale background when selected; its text then stays in the
    // normal colour, as the selection's light text would vanish on it.
    const QColor background =
        merged ? QColor::fromRgb(kMergedBackground)
               : option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
    const QColor text =
        option.palette.color(selected && !merged ? QPalette::HighlightedText : QPalette::Text);
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    painter->setPen(text);
    const auto* view = qobject_cast<const QTableView*>(option.widget);
    if (merged && view) {
        // The area's text is laid out over the whole area, as the sheet shows it; each cell
        // paints its own part of it, so a repaint of any one cell stays right.
        const Area a = AreaOf(table_, i, j);
        const QModelIndex anchor = index.model()->index(a.top, a.left);
        const QRect area = view->visualRect(anchor).united(
            view->visualRect(index.model()->index(a.bottom, a.right)));
        painter->drawText(area.adjusted(0, 2, -2, 0),
                          int(AlignmentOf(table_.at(a.top, a.left)) | Qt::AlignTop),
                          anchor.data(Qt::DisplayRole).toString());
    }
    // A covered cell's own text (none after an import, but it can be typed) is drawn too, as
    // the drawing carries it.
    if (!merged || !view || cell.mark)
        painter->drawText(option.rect.adjusted(0, 2, -2, 0), int(AlignmentOf(cell) | Qt::AlignTop),
                          index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        // The current cell's dotted frame, which shows where typing goes inside a selection.
        painter->setPen(QPen(text, 1, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
    QRect rect = option.rect;
    rect.setHeight(std::min(rect.height(), editor->sizeHint().height()));
    editor->setGeometry(rect);
}
