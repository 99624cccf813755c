#include "app/GridDelegate.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

#include <algorithm>

GridDelegate::GridDelegate(const sheetlift::CellTable& table, QObject* parent)
    : QStyledItemDelegate(parent), table_(table) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int i = index.row(), j = index.column();
    if (table_.empty() || i >= table_.cellRows || j >= table_.cellCols) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const sheetlift::TXlsxCellAttr& cell = table_.at(i, j);
    Qt::Alignment align = Qt::AlignLeft;
    if (cell.txtAlign == 2)
        align = Qt::AlignHCenter;
    else if (cell.txtAlign == 3)
        align = Qt::AlignRight;
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
    painter->drawText(option.rect.adjusted(0, 2, -2, 0), int(align | Qt::AlignTop),
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
