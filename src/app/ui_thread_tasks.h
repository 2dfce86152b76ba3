#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/ports/system.h"
#include "platform/ports/windows.h"

namespace sg::app {

// Posted to a window whose tasks wait for its thread.
inline constexpr std::uint32_t kMessageRunUiTasks = platform::kWmApp + 0x20;

// The one way from a worker thread to a window's own thread: the worker posts a task, and the
// window's thread runs it when kMessageRunUiTasks arrives. A worker holds only a Poster, which
// may outlive the window: once the window has closed, its posts are refused, so a worker never
// reaches a destroyed window, nor a later one with the same handle. Tasks run on the window's
// thread while their owner lives, and may use whatever the owner owns.
class UiThreadTasks {
 public:
  using Task = std::function<void()>;

 private:
  struct Queue {
    Queue(platform::WindowsPort& windows_port, platform::WindowHandle open_window)
        : windows(windows_port), window(open_window) {}
    std::mutex mutex;
    platform::WindowsPort& windows;
    platform::WindowHandle window;  // 0 once closed
    std::deque<Task> tasks;
  };

 public:
  // What a worker holds; to be copied and used from any thread.
  class Poster {
   public:
    // Queues the task for the window's thread; false once the window has closed.
    bool Post(Task task) const;

   private:
    friend class UiThreadTasks;
    explicit Poster(std::shared_ptr<Queue> queue) : queue_(std::move(queue)) {}
    std::shared_ptr<Queue> queue_;
  };

  explicit UiThreadTasks(platform::WindowsPort& windows);
  // Drops what is still queued.
  ~UiThreadTasks();
  UiThreadTasks(const UiThreadTasks&) = delete;
  UiThreadTasks& operator=(const UiThreadTasks&) = delete;

  // The window exists: tasks are posted to it from now on. Posters of an earlier window stay
  // refused, and its queued tasks are dropped.
  void Open(platform::WindowHandle window);
  // The window is about to go: later posts are refused; what is queued still runs should the
  // message arrive.
  void Close();
  Poster poster() const { return Poster(queue_); }
  // Starts a worker that waits, then posts the task.
  void PostAfter(platform::SystemPort& system, std::uint32_t wait_ms, Task task) const;
  // On the window's thread, when kMessageRunUiTasks arrives: every task queued so far, in order.
  void RunQueued();

 private:
  void Drop();

  platform::WindowsPort& windows_;
  std::shared_ptr<Queue> queue_;
};

}  // namespace sg::app
