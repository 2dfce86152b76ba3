#pragma once

// Small hand-written COM helpers shared by the browser adapters.

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <string>
#include <utility>

namespace sg::platform::win32 {

// One counted reference to a COM interface, released when it goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes a reference of its own; the caller keeps theirs.
  explicit ComPtr(T* pointer) : pointer_(pointer) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  void Reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }
  // For a call that hands out a reference: the old one is released first.
  T** Put() {
    Reset();
    return &pointer_;
  }
  // QueryInterface; empty when the object does not have the interface.
  template <typename U>
  ComPtr<U> Query(REFIID iid) const {
    ComPtr<U> result;
    if (pointer_ && FAILED(pointer_->QueryInterface(iid, reinterpret_cast<void**>(result.Put()))))
      result.Reset();
    return result;
  }

 private:
  T* pointer_ = nullptr;
};

// Automation strings in the program's narrow ANSI strings and back.
std::string Narrow(BSTR text);
// Owns the BSTR it holds.
class Bstr {
 public:
  explicit Bstr(const std::string& text);
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(text_); }
  BSTR Get() const { return text_; }
  BSTR* Put() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  // Hands the string over to the caller.
  BSTR Release() { return std::exchange(text_, nullptr); }
  std::string ToNarrow() const { return Narrow(text_); }

 private:
  BSTR text_ = nullptr;
};

// A variant's value as a narrow string: converted to VT_BSTR (through references too); empty when
// it cannot be converted.
std::string VariantText(VARIANT& value);

// An event interface implemented by hand: IDispatch on which only Invoke does something. It
// answers QueryInterface for IUnknown, IDispatch and its event interface, because connection
// points may ask for the event interface before they connect.
class EventDispatch : public IDispatch {
 public:
  explicit EventDispatch(REFIID events) : events_(events) {}
  virtual ~EventDispatch() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;

 private:
  IID events_;
  LONG references_ = 1;
};

// Connects a sink to an object's connection point for the event interface; the cookie, 0 when
// the object has no such connection point or refuses.
DWORD ConnectEvents(IUnknown* object, REFIID events, IDispatch* sink);
void DisconnectEvents(IUnknown* object, REFIID events, DWORD cookie);

}  // namespace sg::platform::win32
