// The IJCAD bridge against a fake IJCAD 2023 registered as the running automation server.
#include "TempDir.h"
#include "cad/CadBridge.h"
#include "model/Automation_win32.h"
#include "model/FileIO.h"
#include "win32/FakeAutomation.h"

#include <gtest/gtest.h>

#include <optional>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;
using test::FakeObject;
using test::RunningServer;

constexpr const wchar_t* kProgId = L"Gcad.Application.23";
constexpr CLSID kFakeClsid = {
    0x5e1f7a11, 0x0c4d, 0x4b7e, {0x9a, 0x51, 0x53, 0x68, 0x65, 0x65, 0x74, 0x6c}};
constexpr IID kCadApplication = {
    0x9D268BF9, 0xB5CA, 0x4C07, {0x94, 0x6E, 0xD0, 0xA1, 0xA3, 0xA0, 0x91, 0x3F}};

// A pick result: a number array, or an array of VARIANTs holding numbers.
VARIANT PointArray(const std::vector<double>& values, bool asVariants) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | (asVariants ? VT_VARIANT : VT_R8);
    v.parray = SafeArrayCreateVector(asVariants ? VT_VARIANT : VT_R8, 0, ULONG(values.size()));
    for (LONG i = 0; i < LONG(values.size()); ++i) {
        if (asVariants) {
            VARIANT element; // a whole number, as a CAD may report it
            VariantInit(&element);
            element.vt = VT_I4;
            element.lVal = LONG(values[std::size_t(i)]);
            SafeArrayPutElement(v.parray, &i, &element);
        } else {
            SafeArrayPutElement(v.parray, &i, const_cast<double*>(&values[std::size_t(i)]));
        }
    }
    return v;
}

// IJCAD's application, document and utility objects: they record the calls, the prompt and
// the command that reach them.
class FakeCad : public test::TempDirTest {
  protected:
    FakeCad() : TempDirTest(L"sheetlift cad ") {}
    void SetUp() override {
        TempDirTest::SetUp();
        dxf_ = dir_ / L"my table 表.dxf";
        WriteFileAtomic(dxf_, "0\r\nEOF\r\n");

        app_.On(L"HWND", [](auto&, VARIANT* r, LCID, WORD) {
            r->vt = VT_I8;
            r->llVal = 0;
            return S_OK;
        });
        app_.On(L"ActiveDocument", [this](auto&, VARIANT* r, LCID, WORD) {
            ++documentReads_;
            if (documentReads_ == failDocumentRead_)
                return E_FAIL;
            return doc_.Return(r);
        });
        doc_.On(L"Utility", [this](auto&, VARIANT* r, LCID, WORD) { return util_.Return(r); });
        doc_.On(L"SendCommand", [this](const std::vector<VARIANT*>& args, VARIANT*, LCID, WORD) {
            sent_ = args.size() == 1 ? test::Text(args[0]) : L"<wrong arguments>";
            return S_OK;
        });
        util_.On(L"GetPoint", [this](const std::vector<VARIANT*>& args, VARIANT* r, LCID, WORD) {
            if (args.size() != 2)
                return DISP_E_BADPARAMCOUNT;
            basePointMissing_ = args[0]->vt == VT_ERROR && args[0]->scode == DISP_E_PARAMNOTFOUND;
            prompt_ = test::Text(args[1]);
            if (!pick_)
                return DISP_E_EXCEPTION; // the CAD user pressed Esc
            return VariantCopy(r, &*pick_);
        });
    }
    void TearDown() override {
        if (pick_)
            VariantClear(&*pick_);
        TempDirTest::TearDown();
    }
    void Pick(const std::vector<double>& values, bool asVariants = false) {
        pick_ = PointArray(values, asVariants);
    }
    // Every reference the bridge took was given back.
    void ExpectAllReleased() const {
        EXPECT_EQ(doc_.refs(), 0);
        EXPECT_EQ(util_.refs(), 0);
    }

    ComScope com_;
    fs::path dxf_;
    std::vector<std::wstring> calls_;
    FakeObject app_{&calls_, {kCadApplication}}, doc_{&calls_}, util_{&calls_};
    std::optional<VARIANT> pick_;
    int documentReads_ = 0, failDocumentRead_ = 0;
    bool basePointMissing_ = false;
    std::wstring prompt_, sent_;
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
    RunningServer registered(kProgId, kFakeClsid);
    EXPECT_FALSE(IsCadRunning());
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_));
    EXPECT_TRUE(calls_.empty());
    EXPECT_TRUE(fs::exists(dxf_));
}

TEST_F(FakeCad, MissingFileAsksNothing) {
    RunningServer running(kProgId, kFakeClsid, &app_);
    EXPECT_TRUE(IsCadRunning());
    InsertDxfIntoCad(dir_ / L"missing.dxf");
    EXPECT_TRUE(calls_.empty());
}

TEST_F(FakeCad, PickedPointInsertsTheFileThere) {
    RunningServer running(kProgId, kFakeClsid, &app_);
    Pick({123.4567, -35.25, 0});
    InsertDxfIntoCad(dxf_);
    EXPECT_EQ(calls_, (std::vector<std::wstring>{L"hwnd", L"activedocument", L"utility",
                                                 L"getpoint", L"activedocument", L"sendcommand"}));
    EXPECT_TRUE(basePointMissing_);
    EXPECT_EQ(prompt_, L"挿入する左上基点を指示 : ");
    // The path goes inside the quotes as it is, blanks and all.
    EXPECT_EQ(sent_, L"-INSERT\r\"*" + dxf_.wstring() + L"\"\r123.457,-35.250\rS 1 R 0 ");
    ExpectAllReleased();
}

TEST_F(FakeCad, PointAsAnArrayOfVariantsConvertsToNumbers) {
    RunningServer running(kProgId, kFakeClsid, &app_);
    Pick({10, 20}, true);
    InsertDxfIntoCad(dxf_);
    EXPECT_NE(sent_.find(L"\r10.000,20.000\r"), std::wstring::npos);
    ExpectAllReleased();
}

TEST_F(FakeCad, CancelledOrShortPickSendsNothing) {
    RunningServer running(kProgId, kFakeClsid, &app_);
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_)); // cancelled
    EXPECT_EQ(prompt_, L"挿入する左上基点を指示 : ");
    Pick({5});
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_)); // one element only
    failDocumentRead_ = documentReads_ + 2;  // the read after the pick fails
    Pick({1, 2});
    EXPECT_NO_THROW(InsertDxfIntoCad(dxf_));
    EXPECT_TRUE(sent_.empty());
    EXPECT_TRUE(fs::exists(dxf_));
    ExpectAllReleased();
}

TEST_F(FakeCad, FailuresBeforeThePickAreRaised) {
    RunningServer running(kProgId, kFakeClsid, &app_);
    failDocumentRead_ = 1;
    EXPECT_THROW(InsertDxfIntoCad(dxf_), Error);
    EXPECT_TRUE(prompt_.empty());
    EXPECT_TRUE(sent_.empty());
}

TEST_F(FakeCad, ServerWithoutTheApplicationInterfaceIsRaised) {
    FakeObject other(&calls_);
    RunningServer running(kProgId, kFakeClsid, &other);
    EXPECT_THROW(InsertDxfIntoCad(dxf_), Error);
    EXPECT_TRUE(calls_.empty());
}

} // namespace
} // namespace sheetlift
