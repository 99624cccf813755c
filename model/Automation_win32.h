// Late-bound OLE Automation: owning wrappers for COM pointers, BSTRs and VARIANTs, and calls by
// member name. Every failure throws AutomationError naming the member and the system's reason.
#pragma once

#include "model/Error.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include <ole2.h>
#include <oleauto.h>

namespace sheetlift {

class AutomationError : public Error {
  public:
    AutomationError(const std::string& what, HRESULT hr);
    HRESULT code() const { return code_; }

  private:
    HRESULT code_;
};

// Throws AutomationError("what: reason") when hr is a failure.
void Check(HRESULT hr, const char* what);

// Initialises COM on this thread for its lifetime (apartment threaded, as a window's thread);
// harmless when the thread already has COM.
class ComScope {
  public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool owns_;
};

// One owned reference to a COM interface.
template <class T> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: drops the current reference first.
    T** put() {
        *this = ComPtr();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

  private:
    T* p_ = nullptr;
};

class Bstr {
  public:
    explicit Bstr(std::string_view utf8);
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return s_; }

  private:
    BSTR s_;
};

// A VARIANT that clears itself.
class Variant {
  public:
    Variant() { VariantInit(&v_); }
    explicit Variant(double value) : Variant() { v_.vt = VT_R8, v_.dblVal = value; }
    explicit Variant(int value) : Variant() { v_.vt = VT_I4, v_.lVal = value; }
    explicit Variant(bool value) : Variant() {
        v_.vt = VT_BOOL, v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    explicit Variant(std::string_view utf8);
    // Without this a string literal would pick the bool constructor.
    explicit Variant(const char* utf8) : Variant(std::string_view(utf8)) {}
    static Variant Missing(); // an optional argument left out
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARTYPE type() const { return v_.vt; }

    // The ordinary automation conversions; throw AutomationError when the value has none.
    double ToDouble(const char* what) const;
    int ToInt(const char* what) const;
    bool ToBool(const char* what) const;
    long long ToInt64(const char* what) const;
    std::string ToText(const char* what) const; // UTF-8
    ComPtr<IDispatch> ToDispatch(const char* what) const;

  private:
    VARIANT v_;
};

// Late-bound calls on one automation object. `lcid` is the locale argument of the call.
class Dispatch {
  public:
    explicit Dispatch(ComPtr<IDispatch> object, LCID lcid = LOCALE_USER_DEFAULT)
        : object_(std::move(object)), lcid_(lcid) {}

    Variant Get(const wchar_t* name, std::initializer_list<const Variant*> args = {}) const;
    // A property that holds an object; the object is called with this one's locale.
    Dispatch GetObject(const wchar_t* name, std::initializer_list<const Variant*> args = {}) const;
    void Put(const wchar_t* name, const Variant& value) const;
    Variant Call(const wchar_t* name, std::initializer_list<const Variant*> args = {}) const;
    IDispatch* get() const { return object_.get(); }

  private:
    Variant Invoke(const wchar_t* name, WORD flags, std::initializer_list<const Variant*> args,
                   const Variant* putValue) const;

    ComPtr<IDispatch> object_;
    LCID lcid_;
};

// The running object registered for `progId`: CLSIDFromProgID, GetActiveObject, IDispatch.
// Throws AutomationError naming the step that failed.
ComPtr<IDispatch> GetRunningObject(const wchar_t* progId);

} // namespace sheetlift
