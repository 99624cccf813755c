// Fake automation servers for the Windows tests: objects answering late-bound calls by member
// name, and the registration that lets GetActiveObject find them by program identifier.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <ole2.h>
#include <oleauto.h>

namespace sheetlift::test {

// One automation object. Members are handlers by name; the object is owned by the test, which
// can check that every reference handed out was given back.
class FakeObject : public IDispatch {
  public:
    // args in the order the caller wrote them; result may be null for a property put.
    using Member = std::function<HRESULT(const std::vector<VARIANT*>& args, VARIANT* result,
                                         LCID lcid, WORD flags)>;

    explicit FakeObject(std::vector<std::wstring>* log = nullptr, std::vector<IID> extra = {})
        : log_(log), extra_(std::move(extra)) {}
    virtual ~FakeObject() = default;

    void On(const std::wstring& name, Member member) { members_[Lower(name)] = std::move(member); }
    long refs() const { return refs_; }

    // A result holding this object (one reference for the caller).
    HRESULT Return(VARIANT* result) {
        AddRef();
        result->vt = VT_DISPATCH;
        result->pdispVal = this;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        bool known = iid == IID_IUnknown || iid == IID_IDispatch;
        for (const IID& extra : extra_)
            known = known || iid == extra;
        if (!known) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            const auto found = members_.find(Lower(names[i]));
            ids[i] = found == members_.end() ? DISPID_UNKNOWN
                                             : DISPID(std::distance(members_.begin(), found) + 1);
            if (found == members_.end())
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id < 1 || std::size_t(id) > members_.size())
            return DISP_E_MEMBERNOTFOUND;
        const auto member = std::next(members_.begin(), id - 1);
        if (log_)
            log_->push_back(member->first);
        std::vector<VARIANT*> args;
        for (UINT i = params->cArgs; i-- > 0;)
            args.push_back(&params->rgvarg[i]);
        if (result)
            VariantInit(result);
        return member->second(args, result, lcid, flags);
    }

  private:
    static std::wstring Lower(std::wstring name) {
        for (auto& c : name)
            c = wchar_t(towlower(c));
        return name;
    }

    std::vector<std::wstring>* log_;
    std::vector<IID> extra_;
    std::map<std::wstring, Member> members_;
    long refs_ = 0;
};

// An object handed out per call (a cell's range, its font), deleted with its last reference.
// `live` counts those not yet released.
class TransientObject : public FakeObject {
  public:
    using FakeObject::FakeObject;
    TransientObject(const TransientObject&) = delete;
    TransientObject& operator=(const TransientObject&) = delete;
    ~TransientObject() override { --live; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = FakeObject::Release();
        if (n == 0)
            delete this;
        return n;
    }
    // Hands a new object to the caller.
    static HRESULT Return(VARIANT* result, TransientObject* object) {
        ++live;
        return object->FakeObject::Return(result);
    }
    static inline int live = 0;
};

// Registers `object` as the running instance of `progId` for the test's lifetime: the ProgID
// key under HKLM (the only place Wine looks) and the running-object table. Throws when the
// table refuses it.
class RunningServer {
  public:
    RunningServer(const wchar_t* progId, const CLSID& clsid, IUnknown* object = nullptr)
        : key_(std::wstring(L"Software\\Classes\\") + progId) {
        wchar_t text[40];
        StringFromGUID2(clsid, text, 40);
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, (key_ + L"\\CLSID").c_str(), nullptr, REG_SZ, text,
                        DWORD((wcslen(text) + 1) * sizeof(wchar_t)));
        if (object && RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_) != S_OK) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
            throw std::runtime_error("RegisterActiveObject failed");
        }
    }
    ~RunningServer() {
        if (cookie_)
            RevokeActiveObject(cookie_, nullptr);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
    }
    RunningServer(const RunningServer&) = delete;
    RunningServer& operator=(const RunningServer&) = delete;

  private:
    std::wstring key_;
    DWORD cookie_ = 0;
};

inline std::wstring Text(const VARIANT* v) {
    return v->vt == VT_BSTR ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : L"<not text>";
}

inline HRESULT ReturnNumber(VARIANT* result, double value) {
    result->vt = VT_R8;
    result->dblVal = value;
    return S_OK;
}

inline HRESULT ReturnInt(VARIANT* result, int value) {
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
}

inline HRESULT ReturnText(VARIANT* result, const std::wstring& text) {
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    return S_OK;
}

} // namespace sheetlift::test
