// No Excel to attach to here: every attempt fails as with Excel not running.
#include "excel/ExcelSource.h"

namespace sheetlift {

namespace {

class NoExcel : public SelectionSource {
  public:
    void Attach() override { throw AttachError(kExcelProgId); }
    void SetScreenUpdating(bool) override {}
    std::string WorkbookName() override { throw AttachError(kExcelProgId); }
    std::string SheetName() override { throw AttachError(kExcelProgId); }
    SelectionRange Selection() override { throw AttachError(kExcelProgId); }
    SourceCell Cell(const std::string&) override { throw AttachError(kExcelProgId); }
};

} // namespace

bool CanReadRunningExcel() {
    return false;
}

std::unique_ptr<SelectionSource> MakeExcelSource() {
    return std::make_unique<NoExcel>();
}

} // namespace sheetlift
