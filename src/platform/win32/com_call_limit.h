#pragma once

// A limit on how long this thread waits for another process's COM object.
#include <windows.h>

#include <objidl.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace sg::platform::win32 {

// While it lives, a call from this (single-threaded apartment) thread to an object of another
// process is cancelled once it has waited `limit_ms`: a shell that never answers would otherwise
// hold the program's window, which handles nothing posted to it while it waits. A worker wakes
// the wait now and then, since the system asks the filter only when a message arrives.
class ComCallLimit final : public IMessageFilter {
 public:
  explicit ComCallLimit(DWORD limit_ms);
  ~ComCallLimit();
  ComCallLimit(const ComCallLimit&) = delete;
  ComCallLimit& operator=(const ComCallLimit&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  // Lives on the stack: the system's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD waited_ms, DWORD) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD waited_ms, DWORD) override;

 private:
  const DWORD limit_ms_;
  IMessageFilter* previous_ = nullptr;
  bool registered_ = false;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool ending_ = false;
  std::thread waker_;
};

}  // namespace sg::platform::win32
