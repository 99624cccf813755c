#include "model/Automation_win32.h"

#include "model/WinText_win32.h"

#include <vector>

namespace sheetlift {

AutomationError::AutomationError(const std::string& what, HRESULT hr)
    : Error(ErrorCode::Automation, {what}, hr), code_(hr) {}

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr))
        throw AutomationError(what, hr);
}

ComScope::ComScope() : owns_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComScope::~ComScope() {
    if (owns_)
        CoUninitialize();
}

Bstr::Bstr(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    s_ = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (!s_)
        throw AutomationError("Cannot allocate an automation string", E_OUTOFMEMORY);
}

Variant::Variant(std::string_view utf8) : Variant() {
    const std::wstring wide = Widen(utf8);
    v_.bstrVal = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (!v_.bstrVal)
        throw AutomationError("Cannot allocate an automation string", E_OUTOFMEMORY);
    v_.vt = VT_BSTR;
}

Variant Variant::Missing() {
    Variant missing;
    missing.v_.vt = VT_ERROR;
    missing.v_.scode = DISP_E_PARAMNOTFOUND;
    return missing;
}

namespace {

// The value converted to `type` in a fresh VARIANT (user locale, as automation converts).
Variant Converted(const VARIANT& from, VARTYPE type, const char* what) {
    Variant to;
    Check(VariantChangeType(to.get(), const_cast<VARIANT*>(&from), 0, type), what);
    return to;
}

} // namespace

double Variant::ToDouble(const char* what) const {
    return Converted(v_, VT_R8, what).v_.dblVal;
}
int Variant::ToInt(const char* what) const {
    return Converted(v_, VT_I4, what).v_.lVal;
}
long long Variant::ToInt64(const char* what) const {
    return Converted(v_, VT_I8, what).v_.llVal;
}
bool Variant::ToBool(const char* what) const {
    return Converted(v_, VT_BOOL, what).v_.boolVal != VARIANT_FALSE;
}

std::string Variant::ToText(const char* what) const {
    if (v_.vt == VT_BSTR)
        return Narrow(std::wstring_view(v_.bstrVal, SysStringLen(v_.bstrVal)));
    const Variant text = Converted(v_, VT_BSTR, what);
    return Narrow(std::wstring_view(text.v_.bstrVal, SysStringLen(text.v_.bstrVal)));
}

ComPtr<IDispatch> Variant::ToDispatch(const char* what) const {
    ComPtr<IDispatch> object;
    if ((v_.vt == VT_DISPATCH || v_.vt == VT_UNKNOWN) && v_.punkVal)
        Check(v_.punkVal->QueryInterface(IID_IDispatch, object.put_void()), what);
    else
        throw AutomationError(what, DISP_E_TYPEMISMATCH);
    return object;
}

Variant Dispatch::Invoke(const wchar_t* name, WORD flags,
                         std::initializer_list<const Variant*> args,
                         const Variant* putValue) const {
    const std::string what = Narrow(name);
    if (!object_)
        throw AutomationError(what, E_POINTER);
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    Check(object_->GetIDsOfNames(IID_NULL, names, 1, lcid_, &id), what.c_str());
    // Arguments go last to first; a property put passes its value as the named argument.
    std::vector<VARIANTARG> list;
    if (putValue)
        list.push_back(*putValue->get());
    for (auto it = std::rbegin(args); it != std::rend(args); ++it)
        list.push_back(*(*it)->get());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{list.data(), putValue ? &putId : nullptr, UINT(list.size()),
                      putValue ? 1u : 0u};
    Variant result;
    EXCEPINFO info{};
    const HRESULT hr = object_->Invoke(id, IID_NULL, lcid_, flags, &params,
                                       putValue ? nullptr : result.get(), &info, nullptr);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    const std::wstring description = info.bstrDescription ? info.bstrDescription : L"";
    SysFreeString(info.bstrDescription);
    if (hr == DISP_E_EXCEPTION && !description.empty())
        throw AutomationError(what + ": " + Narrow(description), info.scode ? info.scode : hr);
    Check(hr, what.c_str());
    return result;
}

Variant Dispatch::Get(const wchar_t* name, std::initializer_list<const Variant*> args) const {
    return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, nullptr);
}

Dispatch Dispatch::GetObject(const wchar_t* name,
                             std::initializer_list<const Variant*> args) const {
    return Dispatch(Get(name, args).ToDispatch(Narrow(name).c_str()), lcid_);
}

void Dispatch::Put(const wchar_t* name, const Variant& value) const {
    Invoke(name, DISPATCH_PROPERTYPUT, {}, &value);
}

Variant Dispatch::Call(const wchar_t* name, std::initializer_list<const Variant*> args) const {
    return Invoke(name, DISPATCH_METHOD, args, nullptr);
}

ComPtr<IDispatch> GetRunningObject(const wchar_t* progId) {
    const std::string name = Narrow(progId);
    CLSID clsid;
    Check(CLSIDFromProgID(progId, &clsid), ("Cannot find " + name).c_str());
    ComPtr<IUnknown> running;
    Check(GetActiveObject(clsid, nullptr, running.put()), (name + " is not running").c_str());
    ComPtr<IDispatch> object;
    Check(running->QueryInterface(IID_IDispatch, object.put_void()),
          (name + " offers no automation").c_str());
    return object;
}

} // namespace sheetlift
