// A fake IJCAD 2023 for the tests to register as the running "Gcad.Application.23": its
// application, document and utility objects record the calls, the prompt and the command that
// reach them, and answer the point pick as scripted.
#pragma once

#include "win32/FakeAutomation.h"

#include <optional>
#include <string>
#include <vector>

namespace sheetlift::test {

constexpr const wchar_t* kCadProgId = L"Gcad.Application.23";
constexpr CLSID kFakeCadClsid = {
    0x5e1f7a11, 0x0c4d, 0x4b7e, {0x9a, 0x51, 0x53, 0x68, 0x65, 0x65, 0x74, 0x6c}};
constexpr IID kCadApplication = {
    0x9D268BF9, 0xB5CA, 0x4C07, {0x94, 0x6E, 0xD0, 0xA1, 0xA3, 0xA0, 0x91, 0x3F}};

// A pick result: a number array, or an array of VARIANTs holding numbers.
inline VARIANT PointArray(const std::vector<double>& values, bool asVariants) {
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

// Register `app` with RunningServer(kCadProgId, kFakeCadClsid, &cad.app).
class FakeCad {
  public:
    FakeCad() {
        app.On(L"HWND", [](auto&, VARIANT* r, LCID, WORD) {
            r->vt = VT_I8;
            r->llVal = 0;
            return S_OK;
        });
        app.On(L"ActiveDocument", [this](auto&, VARIANT* r, LCID, WORD) {
            ++documentReads;
            if (documentReads == failDocumentRead)
                return E_FAIL;
            return doc.Return(r);
        });
        doc.On(L"Utility", [this](auto&, VARIANT* r, LCID, WORD) { return util.Return(r); });
        doc.On(L"SendCommand", [this](const std::vector<VARIANT*>& args, VARIANT*, LCID, WORD) {
            sent = args.size() == 1 ? Text(args[0]) : L"<wrong arguments>";
            return S_OK;
        });
        util.On(L"GetPoint", [this](const std::vector<VARIANT*>& args, VARIANT* r, LCID, WORD) {
            if (args.size() != 2)
                return DISP_E_BADPARAMCOUNT;
            basePointMissing = args[0]->vt == VT_ERROR && args[0]->scode == DISP_E_PARAMNOTFOUND;
            prompt = Text(args[1]);
            if (!pick)
                return DISP_E_EXCEPTION; // the CAD user pressed Esc
            return VariantCopy(r, &*pick);
        });
    }
    ~FakeCad() {
        if (pick)
            VariantClear(&*pick);
    }
    FakeCad(const FakeCad&) = delete;
    FakeCad& operator=(const FakeCad&) = delete;

    // The CAD user will pick this point (unset: presses Esc).
    void Pick(const std::vector<double>& values, bool asVariants = false) {
        if (pick)
            VariantClear(&*pick);
        pick = PointArray(values, asVariants);
    }
    // Every reference the bridge took was given back.
    bool AllReleased() const { return doc.refs() == 0 && util.refs() == 0; }

    std::vector<std::wstring> calls;
    FakeObject app{&calls, {kCadApplication}}, doc{&calls}, util{&calls};
    std::optional<VARIANT> pick;
    int documentReads = 0, failDocumentRead = 0;
    bool basePointMissing = false;
    std::wstring prompt, sent;
};

} // namespace sheetlift::test
