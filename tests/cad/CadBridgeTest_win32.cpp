// The IJCAD bridge against a fake IJCAD 2023 registered as the running automation server.
#include "TempDir.h"
#include "cad/CadBridge.h"
#include "model/Automation_win32.h"
#include "model/FileIO.h"
#include "win32/FakeCad.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;
using test::FakeObject;
using test::kCadProgId;
using test::kFakeCadClsid;
using test::RunningServer;

// The fake IJCAD and a DXF file to insert, in a directory whose name has a blank and kanji.
class FakeCad : public test::TempDirTest {
  protected:
    FakeCad() : TempDirTest(L"sheetlift cad ") {}
    void SetUp() override {
        TempDirTest::SetUp();
        dxf_ = dir_ / L"my table 表.dxf";
        WriteFileAtomic(dxf_, "0\r\nEOF\r\n");
    }

    ComScope com_;
    fs::path dxf_;
    test::FakeCad cad_;
};

TEST_F(FakeCad, NotInstalledRaisesTheLookupError) {
    try {
        IsCadRunning();
        FAIL() << "no error";
    } catch (const Error& e) { // the system's reason and its code, after what was looked up
        EXPECT_TRUE(std::string(e.what()).starts_with("IJCAD 2023 (Gcad.Application.23)"));
        EXPECT_TRUE(std::string(e.what()).ends_with("(0x800401F3)"))
            << e.what(); // CO_E_CLASSSTRING
    }
    EXPECT_THROW(InsertDxfIntoCad(dxf_), Error);
    EXPECT_TRUE(fs::exists(dxf_));
}

TEST_F(FakeCad, InstalledButNotRunningEndsQuietly) {
    RunningServer registered(kCadProgId, kFakeCadClsid);
    EXPECT_FALSE(IsCadRunning());
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_));
    EXPECT_TRUE(cad_.calls.empty());
    EXPECT_TRUE(fs::exists(dxf_));
}

TEST_F(FakeCad, MissingFileAsksNothing) {
    RunningServer running(kCadProgId, kFakeCadClsid, &cad_.app);
    EXPECT_TRUE(IsCadRunning());
    InsertDxfIntoCad(dir_ / L"missing.dxf");
    EXPECT_TRUE(cad_.calls.empty());
}

TEST_F(FakeCad, PickedPointInsertsTheFileThere) {
    RunningServer running(kCadProgId, kFakeCadClsid, &cad_.app);
    cad_.Pick({123.4567, -35.25, 0});
    InsertDxfIntoCad(dxf_);
    EXPECT_EQ(cad_.calls,
              (std::vector<std::wstring>{L"hwnd", L"activedocument", L"utility", L"getpoint",
                                         L"activedocument", L"sendcommand"}));
    EXPECT_TRUE(cad_.basePointMissing);
    EXPECT_EQ(cad_.prompt, L"挿入する左上基点を指示 : ");
    // The path goes inside the quotes as it is, blanks and all.
    EXPECT_EQ(cad_.sent, L"-INSERT\r\"*" + dxf_.wstring() + L"\"\r123.457,-35.250\rS 1 R 0 ");
    EXPECT_TRUE(cad_.AllReleased());
}

TEST_F(FakeCad, PointAsAnArrayOfVariantsConvertsToNumbers) {
    RunningServer running(kCadProgId, kFakeCadClsid, &cad_.app);
    cad_.Pick({10, 20}, true);
    InsertDxfIntoCad(dxf_);
    EXPECT_NE(cad_.sent.find(L"\r10.000,20.000\r"), std::wstring::npos);
    EXPECT_TRUE(cad_.AllReleased());
}

TEST_F(FakeCad, CancelledOrShortPickSendsNothing) {
    RunningServer running(kCadProgId, kFakeCadClsid, &cad_.app);
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_)); // cancelled
    EXPECT_EQ(cad_.prompt, L"挿入する左上基点を指示 : ");
    cad_.Pick({5});
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_));        // one element only
    cad_.failDocumentRead = cad_.documentReads + 2; // the read after the pick fails
    cad_.Pick({1, 2});
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_));
    EXPECT_TRUE(cad_.sent.empty());
    EXPECT_TRUE(fs::exists(dxf_));
    EXPECT_TRUE(cad_.AllReleased());
}

TEST_F(FakeCad, FailuresBeforeThePickAreRaised) {
    RunningServer running(kCadProgId, kFakeCadClsid, &cad_.app);
    cad_.failDocumentRead = 1;
    EXPECT_THROW(InsertDxfIntoCad(dxf_), Error);
    EXPECT_TRUE(cad_.prompt.empty());
    EXPECT_TRUE(cad_.sent.empty());
}

TEST_F(FakeCad, ServerWithoutTheApplicationInterfaceIsRaised) {
    FakeObject other(&cad_.calls);
    RunningServer running(kCadProgId, kFakeCadClsid, &other);
    EXPECT_THROW(InsertDxfIntoCad(dxf_), Error);
    EXPECT_TRUE(cad_.calls.empty());
}

} // namespace
} // namespace sheetlift
