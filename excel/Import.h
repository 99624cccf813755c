// The import of a spreadsheet selection into the cell table and the grid, over any source.
#pragma once

#include "excel/Source.h"
#include "model/CellTable.h"
#include "model/Settings.h"
#include "model/TextGrid.h"

#include <string>

namespace sheetlift {

// Receives what the window shows while a selection is imported. Indices are table rows and
// columns counted from 0 (the grid shows them one further, below and right of its headers).
class ImportSink {
  public:
    virtual ~ImportSink() = default;
    virtual void SetCaption(const std::string& caption) = 0; // "Book1 [Sheet1]"
    virtual void SetAddresses(const std::string& first, const std::string& last) = 0;
    // The grid gets rows x columns cells; painting may wait until EndGrid, which follows on
    // every path once BeginGrid has been called.
    virtual void BeginGrid(int rows, int columns) = 0;
    virtual void EndGrid() = 0;
    // Once per row, before its cells; a window processes its pending events here. May throw
    // to stop the import.
    virtual void Progress(int row, int rows) = 0;
    virtual void SetRowHeader(int row, const std::string& text) = 0; // the sheet's row number
    virtual void SetRowHeight(int row, int pixels) = 0;
    virtual void SetColumnHeader(int column, const std::string& text) = 0; // column letters
    virtual void SetColumnWidth(int column, int pixels) = 0;
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
};

// A sink that keeps only the cell texts, for work without a window.
class TextGridSink : public ImportSink {
  public:
    explicit TextGridSink(TextGrid& texts) : texts_(texts) {}
    void SetCaption(const std::string&) override {}
    void SetAddresses(const std::string&, const std::string&) override {}
    void BeginGrid(int rows, int columns) override { texts_.Resize(rows, columns); }
    void EndGrid() override {}
    void Progress(int, int) override {}
    void SetRowHeader(int, const std::string&) override {}
    void SetRowHeight(int, int) override {}
    void SetColumnHeader(int, const std::string&) override {}
    void SetColumnWidth(int, int) override {}
    void SetCellText(int row, int column, const std::string& text) override {
        texts_.SetText(row, column, text);
    }

  private:
    TextGrid& texts_;
};

// Reads the source's selection into `table` (replacing it) and the sink, then runs the layout
// pass. Throws AttachError when there is nothing to attach to, and Error (or whatever the
// source or sink threw) on any later failure; screen updating is switched back on and EndGrid
// called on every path. After a failure mid-read the table holds the records read so far.
void ImportSelection(SelectionSource& source, ImportSink& sink, CellTable& table,
                     const Settings& settings);

} // namespace sheetlift
