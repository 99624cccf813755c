#include "excel/ExcelSource.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

// Without OLE Automation there is never an Excel to attach to: the import's first message.
TEST(ExcelSource, AttachFailsAsWithExcelNotRunning) {
    const auto source = MakeExcelSource();
    try {
        source->Attach();
        FAIL() << "attached";
    } catch (const AttachError& e) {
        EXPECT_EQ(e.progId(), "Excel.Application");
    }
}

} // namespace
} // namespace sheetlift
