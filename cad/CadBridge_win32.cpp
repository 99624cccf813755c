#include "cad/CadBridge.h"

#include "cad/InsertCommand.h"
#include "model/Automation_win32.h"
#include "model/FileIO.h"
#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

namespace {

constexpr const wchar_t* kCadProgId = L"Gcad.Application.23";
// IJCAD's application interface.
constexpr IID kCadApplication = {
    0x9D268BF9, 0xB5CA, 0x4C07, {0x94, 0x6E, 0xD0, 0xA1, 0xA3, 0xA0, 0x91, 0x3F}};
constexpr const char* kPickPrompt = "挿入する左上基点を指示 : ";

// Element `index` of a one-dimensional number array, by the ordinary conversion to double.
double PointElement(const Variant& point, LONG index) {
    const VARTYPE element = point.type() & VT_TYPEMASK;
    if (!(point.type() & VT_ARRAY) || (point.type() & VT_BYREF))
        throw AutomationError("GetPoint", DISP_E_TYPEMISMATCH);
    SAFEARRAY* array = point.get()->parray;
    LONG lower = 0, upper = -1;
    if (!array || SafeArrayGetDim(array) != 1)
        throw AutomationError("GetPoint", DISP_E_TYPEMISMATCH);
    Check(SafeArrayGetLBound(array, 1, &lower), "GetPoint");
    Check(SafeArrayGetUBound(array, 1, &upper), "GetPoint");
    if (upper - lower < index)
        throw AutomationError("GetPoint", DISP_E_BADINDEX);
    LONG at = lower + index;
    if (element == VT_R8) {
        double value = 0;
        Check(SafeArrayGetElement(array, &at, &value), "GetPoint");
        return value;
    }
    if (element == VT_VARIANT) {
        Variant value;
        Check(SafeArrayGetElement(array, &at, value.get()), "GetPoint");
        return value.ToDouble("GetPoint");
    }
    throw AutomationError("GetPoint", DISP_E_TYPEMISMATCH);
}

} // namespace

bool IsCadRunning() {
    const ComScope com;
    CLSID clsid;
    Check(CLSIDFromProgID(kCadProgId, &clsid), "IJCAD 2023 (Gcad.Application.23) is not installed");
    ComPtr<IUnknown> running;
    return SUCCEEDED(GetActiveObject(clsid, nullptr, running.put()));
}

void InsertDxfIntoCad(const std::filesystem::path& dxfPath) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(dxfPath, ec))
        return;
    const ComScope com;
    if (!IsCadRunning())
        return;
    ComPtr<IDispatch> application;
    Check(GetRunningObject(kCadProgId)->QueryInterface(kCadApplication, application.put_void()),
          "IJCAD 2023 offers no application interface");
    const Dispatch app(application);
    const auto window = app.Get(L"HWND").ToInt64("HWND");
    SetForegroundWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(window)));
    const Dispatch document = app.GetObject(L"ActiveDocument");
    // From the pick on, the CAD user may cancel or the CAD may refuse: the DXF file stays and
    // the command ends without a message.
    try {
        const Dispatch utility = document.GetObject(L"Utility");
        const Variant noBasePoint = Variant::Missing();
        const Variant prompt(kPickPrompt);
        const Variant point = utility.Call(L"GetPoint", {&noBasePoint, &prompt});
        const Dispatch target = app.GetObject(L"ActiveDocument");
        const Variant command(BuildInsertCommand(DisplayPath(dxfPath), PointElement(point, 0),
                                                 PointElement(point, 1)));
        target.Call(L"SendCommand", {&command});
    } catch (const Error&) {
    }
}

} // namespace sheetlift
