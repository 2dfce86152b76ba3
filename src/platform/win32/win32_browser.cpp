// IWebBrowser2, its DWebBrowserEvents2 sink and the page's event and elements.
#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>

#include "platform/win32/com_support.h"
#include "platform/win32/win32_browsers.h"

namespace sg::platform::win32 {

namespace {

class Win32HtmlElement final : public HtmlElement {
 public:
  explicit Win32HtmlElement(ComPtr<IHTMLElement> element) : element_(std::move(element)) {}

  std::string Attribute(const std::string& name) override {
    const Bstr attribute(name);
    VARIANT value;
    VariantInit(&value);
    HRESULT result = element_->getAttribute(attribute.Get(), 0, &value);
    // An element without the attribute answers VT_NULL: that is no text, not a failure, or no
    // click on an element without a "type" could ever be judged.
    const bool absent = SUCCEEDED(result) && (value.vt == VT_NULL || value.vt == VT_EMPTY);
    if (SUCCEEDED(result) && !absent) result = VariantChangeType(&value, &value, 0, VT_BSTR);
    if (absent) {
      VariantClear(&value);
      return {};
    }
    std::string text = SUCCEEDED(result) ? Narrow(value.bstrVal) : std::string();
    const HRESULT cleared = VariantClear(&value);
    if (FAILED(result)) throw ComError(result, "IHTMLElement");
    if (FAILED(cleared)) throw ComError(cleared, "VARIANT");
    return text;
  }

  std::string TagName() override {
    Bstr tag;
    element_->get_tagName(tag.Put());
    return tag.ToNarrow();
  }

  std::unique_ptr<HtmlElement> Parent() override {
    ComPtr<IHTMLElement> parent;
    if (FAILED(element_->get_parentElement(parent.Put())) || !parent) return nullptr;
    return std::make_unique<Win32HtmlElement>(std::move(parent));
  }

 private:
  ComPtr<IHTMLElement> element_;
};

class Win32HtmlEvent final : public HtmlEvent {
 public:
  explicit Win32HtmlEvent(ComPtr<IHTMLEventObj> event) : event_(std::move(event)) {}

  std::string Type() override {
    Bstr type;
    event_->get_type(type.Put());
    return type.ToNarrow();
  }

  std::unique_ptr<HtmlElement> SourceElement() override {
    ComPtr<IHTMLElement> element;
    if (FAILED(event_->get_srcElement(element.Put())) || !element) return nullptr;
    return std::make_unique<Win32HtmlElement>(std::move(element));
  }

 private:
  ComPtr<IHTMLEventObj> event_;
};

// Receives the browser's events. A COM error raised by a handler ends that event only: it must
// not unwind into the browser that called.
class BrowserEventsSink final : public EventDispatch {
 public:
  explicit BrowserEventsSink(BrowserEvents& events)
      : EventDispatch(DIID_DWebBrowserEvents2), events_(events) {}

  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    // Arguments arrive last first: the first declared parameter is at rgvarg[cArgs - 1].
    const auto argument = [parameters](UINT position) -> VARIANT& {
      return parameters->rgvarg[parameters->cArgs - 1 - position];
    };
    const auto expects = [parameters](UINT count) {
      return parameters && parameters->cArgs == count;
    };
    try {
      switch (member) {
        case DISPID_STATUSTEXTCHANGE:
          if (!expects(1)) return DISP_E_BADPARAMCOUNT;
          events_.OnStatusTextChange(VariantText(argument(0)));
          break;
        case DISPID_NEWWINDOW2: {
          if (!expects(2)) return DISP_E_BADPARAMCOUNT;
          VARIANT& cancel = argument(1);
          if (events_.OnNewWindow2() && cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal)
            *cancel.pboolVal = VARIANT_TRUE;
          break;
        }
        case DISPID_DOCUMENTCOMPLETE:
          if (!expects(2)) return DISP_E_BADPARAMCOUNT;
          events_.OnDocumentComplete(VariantText(argument(1)));
          break;
        case DISPID_ONQUIT:
          events_.OnQuit();
          break;
        default:
          break;
      }
    } catch (const ComError&) {
      // The program runs on; the browser sees the event as handled.
    }
    return S_OK;
  }

 private:
  BrowserEvents& events_;
};

}  // namespace

Win32Browser::Win32Browser(IWebBrowser2* browser) : browser_(browser) {
  browser_->AddRef();
}

Win32Browser::~Win32Browser() {
  browser_->Release();
}

std::string Win32Browser::LocationUrl() {
  Bstr url;
  browser_->get_LocationURL(url.Put());
  return url.ToNarrow();
}

std::string Win32Browser::LocationName() {
  Bstr name;
  browser_->get_LocationName(name.Put());
  return name.ToNarrow();
}

int Win32Browser::ReadyState() {
  READYSTATE state = READYSTATE_UNINITIALIZED;
  if (FAILED(browser_->get_ReadyState(&state))) return READYSTATE_UNINITIALIZED;
  return state;
}

std::unique_ptr<HtmlEvent> Win32Browser::CurrentEvent() {
  ComPtr<IDispatch> document;
  if (FAILED(browser_->get_Document(document.Put())) || !document) return nullptr;
  const auto html = document.Query<IHTMLDocument2>(IID_IHTMLDocument2);
  if (!html) return nullptr;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(html->get_parentWindow(window.Put())) || !window) return nullptr;
  ComPtr<IHTMLEventObj> event;
  if (FAILED(window->get_event(event.Put())) || !event) return nullptr;
  return std::make_unique<Win32HtmlEvent>(std::move(event));
}

void Win32Browser::Navigate(const std::string& url) {
  VARIANT address;
  VariantInit(&address);
  address.vt = VT_BSTR;
  address.bstrVal = Bstr(url).Release();
  VARIANT empty;
  VariantInit(&empty);
  browser_->Navigate2(&address, &empty, &empty, &empty, &empty);
  VariantClear(&address);
}

WindowHandle Win32Browser::Window() {
  SHANDLE_PTR window = 0;
  if (FAILED(browser_->get_HWND(&window))) return 0;
  return static_cast<WindowHandle>(window);
}

void Win32Browser::Stop() {
  const HRESULT result = browser_->Stop();
  if (FAILED(result)) throw ComError(result, "IWebBrowser2");
}

void Win32Browser::Quit() {
  browser_->Quit();
}

void Win32Browser::ShowMenuBar() {
  browser_->put_MenuBar(VARIANT_TRUE);
}

void Win32Browser::ShowToolBar() {
  browser_->put_ToolBar(VARIANT_TRUE);
}

void Win32Browser::ShowAddressBar() {
  browser_->put_AddressBar(VARIANT_TRUE);
}

void Win32Browser::MakeResizable() {
  browser_->put_Resizable(VARIANT_TRUE);
}

bool Win32Browser::SameObjectAs(Browser& other) {
  const auto* browser = dynamic_cast<Win32Browser*>(&other);
  if (!browser) return false;
  // Only IUnknown is sure to give one pointer per object.
  const auto mine = ComPtr<IWebBrowser2>(browser_).Query<IUnknown>(IID_IUnknown);
  const auto theirs = ComPtr<IWebBrowser2>(browser->browser_).Query<IUnknown>(IID_IUnknown);
  return mine && mine.Get() == theirs.Get();
}

std::uint32_t Win32Browser::Advise(BrowserEvents& events) {
  // The connection point keeps the sink alive until it is disconnected.
  auto* sink = new BrowserEventsSink(events);
  const DWORD cookie = ConnectEvents(browser_, DIID_DWebBrowserEvents2, sink);
  sink->Release();
  return cookie;
}

void Win32Browser::Unadvise(std::uint32_t cookie) {
  if (cookie != 0) DisconnectEvents(browser_, DIID_DWebBrowserEvents2, cookie);
}

}  // namespace sg::platform::win32
