// IShellWindows with its DShellWindowsEvents sink, and where the automation objects come from.
#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>

#include <utility>

#include "platform/win32/com_support.h"
#include "platform/win32/win32_browsers.h"

namespace sg::platform::win32 {

namespace {

class ShellWindowsSink final : public EventDispatch {
 public:
  explicit ShellWindowsSink(ShellWindowsEvents& events)
      : EventDispatch(DIID_DShellWindowsEvents), events_(events) {}

  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    try {
      if (member == DISPID_WINDOWREGISTERED) events_.OnWindowRegistered();
      if (member == DISPID_WINDOWREVOKED) events_.OnWindowRevoked();
    } catch (const ComError&) {
      // A failed scan ends there; the shell must not see the exception.
    }
    return S_OK;
  }

 private:
  ShellWindowsEvents& events_;
};

}  // namespace

Win32ShellWindows::Win32ShellWindows(IShellWindows* windows) : windows_(windows) {
  windows_->AddRef();
}

Win32ShellWindows::~Win32ShellWindows() {
  Disconnect();
  windows_->Release();
}

int Win32ShellWindows::Count() {
  LONG count = 0;
  const HRESULT result = windows_->get_Count(&count);
  if (FAILED(result)) throw ComError(result, "IShellWindows");
  return count;
}

std::shared_ptr<Browser> Win32ShellWindows::Item(int index) {
  VARIANT position;
  VariantInit(&position);
  position.vt = VT_I4;
  position.lVal = index;
  ComPtr<IDispatch> item;
  const HRESULT result = windows_->Item(position, item.Put());
  if (FAILED(result)) throw ComError(result, "IShellWindows");
  const auto browser = item.Query<IWebBrowser2>(IID_IWebBrowser2);
  if (!browser) return nullptr;
  return std::make_shared<Win32Browser>(browser.Get());
}

bool Win32ShellWindows::Advise(ShellWindowsEvents& events) {
  Disconnect();
  auto* sink = new ShellWindowsSink(events);
  cookie_ = ConnectEvents(windows_, DIID_DShellWindowsEvents, sink);
  if (cookie_ == 0) {
    sink->Release();
    return false;
  }
  sink_ = sink;
  return true;
}

void Win32ShellWindows::Disconnect() {
  if (!sink_) return;
  DisconnectEvents(windows_, DIID_DShellWindowsEvents, cookie_);
  cookie_ = 0;
  std::exchange(sink_, nullptr)->Release();
}

std::shared_ptr<ShellWindows> Win32Browsers::CreateShellWindows() {
  ComPtr<IUnknown> object;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IUnknown,
                              reinterpret_cast<void**>(object.Put()))) ||
      FAILED(OleRun(object.Get())))
    return nullptr;
  const auto windows = object.Query<IShellWindows>(IID_IShellWindows);
  if (!windows) return nullptr;
  return std::make_shared<Win32ShellWindows>(windows.Get());
}

std::shared_ptr<Browser> Win32Browsers::CreateInternetExplorer() {
  ComPtr<IWebBrowser2> browser;
  if (FAILED(CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_ALL, IID_IWebBrowser2,
                              reinterpret_cast<void**>(browser.Put()))) ||
      !browser)
    return nullptr;
  return std::make_shared<Win32Browser>(browser.Get());
}

}  // namespace sg::platform::win32
