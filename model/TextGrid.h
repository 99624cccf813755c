// The working texts of the table's cells (what the grid shows and the user edits), kept apart
// from the cell records so that the export and the text commands run without a GUI.
#pragma once

#include <string>
#include <vector>

namespace sheetlift {

// A selection rectangle in grid coordinates: the grid's header row and column are 0, so table
// cell (i, j) is grid row i + 1, grid column j + 1. Bounds are inclusive.
struct GridRect {
    int left = 1;
    int top = 1;
    int right = 1;
    int bottom = 1;
};

class TextGrid {
  public:
    TextGrid() = default;
    TextGrid(int rows, int cols) { Resize(rows, cols); }

    void Resize(int rows, int cols) {
        rows_ = rows > 0 ? rows : 0;
        cols_ = cols > 0 ? cols : 0;
        texts_.assign(std::size_t(rows_) * cols_, std::string());
    }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Table cell (i, j), counted from 0.
    const std::string& Text(int i, int j) const { return texts_[std::size_t(i) * cols_ + j]; }
    void SetText(int i, int j, std::string text) {
        texts_[std::size_t(i) * cols_ + j] = std::move(text);
    }

  private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<std::string> texts_;
};

} // namespace sheetlift
