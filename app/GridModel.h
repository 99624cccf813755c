// StringGrid1's cells: a flat view of the working texts, with the sheet's column letters and
// row numbers as headers. Flat storage keeps 100,000 cells cheap.
#pragma once

#include "model/TextGrid.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GridModel(sheetlift::TextGrid& texts, QObject* parent = nullptr);

    // A new grid of empty cells and headers.
    void Reset(int rows, int columns);
    void SetRowHeader(int row, std::string text) {
        rowHeaders_[std::size_t(row)] = std::move(text);
    }
    void SetColumnHeader(int column, std::string text) {
        columnHeaders_[std::size_t(column)] = std::move(text);
    }
    // Tells the views that texts and headers were written behind their back.
    void Refresh();
    // Tells the views that the texts of a rectangle (model rows and columns) changed.
    void TextsChanged(int top, int left, int bottom, int right);

    QString Text(int row, int column) const;
    void SetText(int row, int column, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    sheetlift::TextGrid& texts_;
    std::vector<std::string> rowHeaders_;
    std::vector<std::string> columnHeaders_;
};
