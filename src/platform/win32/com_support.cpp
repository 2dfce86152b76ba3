#include "platform/win32/com_support.h"

#include <windows.h>

#include <oleauto.h>

namespace sg::platform::win32 {

std::string Narrow(BSTR text) {
  const int length = static_cast<int>(SysStringLen(text));
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), size, nullptr, nullptr);
  return result;
}

Bstr::Bstr(const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  text_ = SysAllocStringLen(nullptr, static_cast<UINT>(size));
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, text_, size);
}

std::string VariantText(VARIANT& value) {
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, &value, 0, VT_BSTR))) return {};
  std::string result = Narrow(text.bstrVal);
  VariantClear(&text);
  return result;
}

HRESULT EventDispatch::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG EventDispatch::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG EventDispatch::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT EventDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT EventDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

namespace {

ComPtr<IConnectionPoint> FindConnectionPoint(IUnknown* object, REFIID events) {
  ComPtr<IConnectionPoint> point;
  const auto container =
      ComPtr<IUnknown>(object).Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (container && FAILED(container->FindConnectionPoint(events, point.Put()))) point.Reset();
  return point;
}

}  // namespace

DWORD ConnectEvents(IUnknown* object, REFIID events, IDispatch* sink) {
  const auto point = FindConnectionPoint(object, events);
  DWORD cookie = 0;
  if (!point || FAILED(point->Advise(sink, &cookie))) return 0;
  return cookie;
}

void DisconnectEvents(IUnknown* object, REFIID events, DWORD cookie) {
  if (const auto point = FindConnectionPoint(object, events)) point->Unadvise(cookie);
}

}  // namespace sg::platform::win32
