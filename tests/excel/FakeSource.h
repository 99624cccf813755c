// A scripted source for import tests: cells by address, a call log, and a failure on demand.
#pragma once

#include "excel/Import.h"
#include "excel/Source.h"

#include <functional>
#include <map>
#include <vector>

namespace sheetlift::testing {

class FakeSource : public SelectionSource {
  public:
    SelectionRange range;
    std::map<std::string, SourceCell> cells; // missing addresses answer with `fallback`
    SourceCell fallback;
    bool attachFails = false;
    std::string failAt; // address whose read fails
    std::vector<std::string> log;

    FakeSource() {
        fallback.columnWidth = 8.43;
        fallback.rowHeight = 18.75;
        fallback.fontSize = 11;
    }
    void Attach() override {
        log.push_back("Attach");
        if (attachFails)
            throw AttachError("Excel.Application");
    }
    void SetScreenUpdating(bool on) override {
        log.push_back(on ? "ScreenUpdating=1" : "ScreenUpdating=0");
    }
    std::string WorkbookName() override { return "Book1"; }
    std::string SheetName() override { return "Sheet1"; }
    SelectionRange Selection() override { return range; }
    SourceCell Cell(const std::string& address) override {
        if (address == failAt)
            throw AttachError("Excel.Application"); // Excel went away
        const auto it = cells.find(address);
        return it == cells.end() ? fallback : it->second;
    }
};

// Records everything the import shows.
class RecordingSink : public TextGridSink {
  public:
    RecordingSink() : TextGridSink(texts) {}
    TextGrid texts;
    std::string caption, first, last;
    std::vector<std::string> rowHeaders, columnHeaders;
    std::vector<int> rowHeights, columnWidths;
    std::vector<std::string> events;
    std::function<void(int)> onProgress;

    void SetCaption(const std::string& c) override { caption = c; }
    void SetAddresses(const std::string& a, const std::string& b) override {
        first = a;
        last = b;
    }
    void BeginGrid(int rows, int columns) override {
        TextGridSink::BeginGrid(rows, columns);
        rowHeaders.assign(rows, "");
        rowHeights.assign(rows, -1);
        columnHeaders.assign(columns, "");
        columnWidths.assign(columns, -1);
        events.push_back("BeginGrid");
    }
    void EndGrid() override { events.push_back("EndGrid"); }
    void Progress(int row, int rows) override {
        events.push_back(std::to_string(row) + " / " + std::to_string(rows));
        if (onProgress)
            onProgress(row);
    }
    void SetRowHeader(int row, const std::string& text) override { rowHeaders[row] = text; }
    void SetRowHeight(int row, int pixels) override { rowHeights[row] = pixels; }
    void SetColumnHeader(int column, const std::string& text) override {
        columnHeaders[column] = text;
    }
    void SetColumnWidth(int column, int pixels) override { columnWidths[column] = pixels; }
};

} // namespace sheetlift::testing
