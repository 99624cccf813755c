#include "app/GridModel.h"

#include <algorithm>

GridModel::GridModel(sheetlift::TextGrid& texts, QObject* parent)
    : QAbstractTableModel(parent), texts_(texts) {}

void GridModel::Reset(int rows, int columns) {
    beginResetModel();
    texts_.Resize(rows, columns);
    rowHeaders_.assign(std::size_t(texts_.rows()), std::string());
    columnHeaders_.assign(std::size_t(texts_.cols()), std::string());
    endResetModel();
}

void GridModel::Refresh() {
    if (texts_.rows() == 0 || texts_.cols() == 0)
        return;
    emit headerDataChanged(Qt::Horizontal, 0, texts_.cols() - 1);
    emit headerDataChanged(Qt::Vertical, 0, texts_.rows() - 1);
    TextsChanged(0, 0, texts_.rows() - 1, texts_.cols() - 1);
}

void GridModel::TextsChanged(int top, int left, int bottom, int right) {
    top = std::max(top, 0);
    left = std::max(left, 0);
    bottom = std::min(bottom, texts_.rows() - 1);
    right = std::min(right, texts_.cols() - 1);
    if (top > bottom || left > right)
        return;
    emit dataChanged(index(top, left), index(bottom, right), {Qt::DisplayRole, Qt::EditRole});
}

QString GridModel::Text(int row, int column) const {
    if (row < 0 || column < 0 || row >= texts_.rows() || column >= texts_.cols())
        return {};
    const std::string_view text = texts_.Text(row, column);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void GridModel::SetText(int row, int column, const QString& text) {
    if (row < 0 || column < 0 || row >= texts_.rows() || column >= texts_.cols())
        return;
    texts_.SetText(row, column, text.toStdString());
    TextsChanged(row, column, row, column);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : texts_.rows();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : texts_.cols();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return Text(index.row(), index.column());
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid())
        return false;
    SetText(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    const auto& headers = orientation == Qt::Horizontal ? columnHeaders_ : rowHeaders_;
    if (section < 0 || std::size_t(section) >= headers.size())
        return {};
    return QString::fromStdString(headers[std::size_t(section)]);
}
