#include "app/GridDelegate.h"

#include <QPainter>

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
    QColor background = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
    if (cell.mark || cell.drawMW > 0 || cell.drawMH > 0)
        background = QColor::fromRgb(kMergedBackground);
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.adjusted(0, 2, -2, 0), int(align | Qt::AlignTop),
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}
