#include "platform/win32/com_call_limit.h"

namespace sg::platform::win32 {

namespace {
constexpr auto kWakePeriod = std::chrono::milliseconds(250);
}  // namespace

ComCallLimit::ComCallLimit(DWORD limit_ms) : limit_ms_(limit_ms) {
  registered_ = SUCCEEDED(CoRegisterMessageFilter(this, &previous_));
  if (!registered_) return;
  const DWORD waiting_thread = GetCurrentThreadId();
  waker_ = std::thread([this, waiting_thread] {
    std::unique_lock lock(mutex_);
    while (!ended_.wait_for(lock, kWakePeriod, [this] { return ending_; })) {
      // Nothing handles a thread message without a window: it only wakes the wait.
      PostThreadMessageA(waiting_thread, WM_NULL, 0, 0);
    }
  });
}

ComCallLimit::~ComCallLimit() {
  if (!registered_) return;
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  ended_.notify_all();
  waker_.join();
  IMessageFilter* ours = nullptr;
  CoRegisterMessageFilter(previous_, &ours);
  if (previous_) previous_->Release();
}

HRESULT ComCallLimit::QueryInterface(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
    *object = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

DWORD ComCallLimit::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  return SERVERCALL_ISHANDLED;
}

DWORD ComCallLimit::RetryRejectedCall(HTASK, DWORD waited_ms, DWORD) {
  // A busy object is asked again after a short pause, until the limit.
  return waited_ms < limit_ms_ ? 100 : static_cast<DWORD>(-1);
}

DWORD ComCallLimit::MessagePending(HTASK, DWORD waited_ms, DWORD) {
  return waited_ms >= limit_ms_ ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
}

}  // namespace sg::platform::win32
