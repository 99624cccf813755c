// The working texts of the table's cells (what the grid shows and the user edits), kept apart
// from the cell records so that the export and the text commands run without a GUI.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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

// The texts lie one after another in one block, each cell holding only where its text is:
// a table of a million cells costs its characters and 8 bytes a cell, and no heap block for
// any text. A changed text goes to the end of the block; the block is packed again once the
// texts left behind outweigh the rest.
class TextGrid {
  public:
    TextGrid() = default;
    TextGrid(int rows, int cols) { Resize(rows, cols); }

    // Every cell empty.
    void Resize(int rows, int cols);
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Table cell (i, j), counted from 0; valid until the next SetText or Resize.
    std::string_view Text(int i, int j) const;
    void SetText(int i, int j, std::string_view text);

  private:
    // Where a text lies in `bytes_`; a length of kLong means the text is kept in `long_`.
    struct Slot {
        std::uint64_t offset : 40;
        std::uint64_t length : 24;
    };
    static constexpr std::uint64_t kLong = (std::uint64_t(1) << 24) - 1;
    void Pack();

    int rows_ = 0;
    int cols_ = 0;
    std::vector<Slot> slots_;
    std::string bytes_;
    std::size_t live_ = 0; // bytes of `bytes_` that cells still point to
    std::unordered_map<std::size_t, std::string> long_; // texts of 16 MiB and more, by cell
};

} // namespace sheetlift
