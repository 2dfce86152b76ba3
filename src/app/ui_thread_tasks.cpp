#include "app/ui_thread_tasks.h"

#include <utility>

namespace sg::app {

UiThreadTasks::UiThreadTasks(platform::WindowsPort& windows)
    : windows_(windows), queue_(std::make_shared<Queue>(windows, 0)) {}

UiThreadTasks::~UiThreadTasks() {
  Drop();
}

void UiThreadTasks::Open(platform::WindowHandle window) {
  Drop();
  queue_ = std::make_shared<Queue>(windows_, window);
}

void UiThreadTasks::Close() {
  std::lock_guard lock(queue_->mutex);
  queue_->window = 0;
}

void UiThreadTasks::Drop() {
  std::deque<Task> dropped;
  std::lock_guard lock(queue_->mutex);
  queue_->window = 0;
  // What the tasks hold is let go on this thread, not on whichever worker lets go last.
  dropped.swap(queue_->tasks);
}

void UiThreadTasks::PostAfter(platform::SystemPort& system, std::uint32_t wait_ms,
                              Task task) const {
  system.StartThread([poster = poster(), &system, wait_ms, task = std::move(task)]() mutable {
    system.Sleep(wait_ms);
    poster.Post(std::move(task));
  });
}

void UiThreadTasks::RunQueued() {
  // Taken one at a time: a task may post again, or run a dialog that gets here itself.
  for (;;) {
    Task task;
    {
      std::lock_guard lock(queue_->mutex);
      if (queue_->tasks.empty()) return;
      task = std::move(queue_->tasks.front());
      queue_->tasks.pop_front();
    }
    task();
  }
}

bool UiThreadTasks::Poster::Post(Task task) const {
  // Under the lock: the window cannot close, and its handle be reused, before the post.
  std::lock_guard lock(queue_->mutex);
  if (!queue_->window) return false;
  queue_->tasks.push_back(std::move(task));
  queue_->windows.PostMessage(queue_->window, kMessageRunUiTasks, 0, 0);
  return true;
}

}  // namespace sg::app
