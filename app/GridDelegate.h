// Paints StringGrid1's data cells: merged-area background, the cell's text base point, text
// from the top, one line per line feed, clipped and never wrapped.
#pragma once

#include "model/CellTable.h"

#include <QStyledItemDelegate>

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    GridDelegate(const sheetlift::CellTable& table, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The in-place editor sits on the cell's first line, where the text is painted.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

  private:
    const sheetlift::CellTable& table_;
};

// The merged-area background.
inline constexpr unsigned kMergedBackground = 0xF0FFFF; // RGB(240, 255, 255)
