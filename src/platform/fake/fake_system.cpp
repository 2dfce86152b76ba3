#include "platform/fake/fake_system.h"

#include <utility>

namespace sg::platform::fake {

FakeSystem::~FakeSystem() {
  // A process that ends releases its handles.
  std::lock_guard machine_lock(machine_.mutex);
  for (const auto& [handle, name] : mutexes_) {
    machine_.mutex_names.erase(machine_.mutex_names.find(name));
  }
}

CreatedMutex FakeSystem::CreateNamedMutex(const std::string& name) {
  std::lock_guard lock(mutex_);
  std::lock_guard machine_lock(machine_.mutex);
  CreatedMutex created;
  created.already_existed = machine_.mutex_names.count(name) > 0;
  created.handle = next_handle_;
  next_handle_ += 4;
  mutexes_[created.handle] = name;
  machine_.mutex_names.insert(name);
  return created;
}

void FakeSystem::CloseHandle(KernelHandle handle) {
  std::lock_guard lock(mutex_);
  auto found = mutexes_.find(handle);
  if (found == mutexes_.end()) return;
  std::lock_guard machine_lock(machine_.mutex);
  machine_.mutex_names.erase(machine_.mutex_names.find(found->second));
  mutexes_.erase(found);
}

bool FakeSystem::SetCurrentDirectory(const std::string& path) {
  if (!files_.Exists(path)) return false;
  files_.SetCurrentDirectory(path);
  return true;
}

void FakeSystem::StartThread(std::function<void()> work) {
  std::lock_guard lock(mutex_);
  threads_.push_back(std::move(work));
}

int FakeSystem::RunThreads() {
  int ran = 0;
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(mutex_);
      if (threads_.empty()) return ran;
      work = std::move(threads_.front());
      threads_.pop_front();
    }
    work();
    ++ran;
  }
}

std::uint64_t FakeSystem::Now() const {
  std::lock_guard lock(mutex_);
  return now_ms_;
}

void FakeSystem::OnSleep(std::function<void(std::uint64_t now)> observer) {
  std::lock_guard lock(mutex_);
  sleep_observer_ = std::move(observer);
}

std::optional<int> FakeSystem::ExitCode() const {
  std::lock_guard lock(mutex_);
  return exit_code_;
}

void FakeSystem::ExitProcess(int exit_code) {
  std::lock_guard lock(mutex_);
  exit_code_ = exit_code;
}

std::size_t FakeSystem::PendingThreads() const {
  std::lock_guard lock(mutex_);
  return threads_.size();
}

void FakeSystem::Sleep(std::uint32_t milliseconds) {
  std::uint64_t now;
  std::function<void(std::uint64_t)> observer;
  {
    std::lock_guard lock(mutex_);
    now_ms_ += milliseconds;
    now = now_ms_;
    observer = sleep_observer_;
  }
  if (observer) observer(now);
}

void FakeSystem::PlaySound(const std::string& path, std::uint32_t flags) {
  constexpr std::uint64_t kSoundLengthMs = 1000;
  std::lock_guard lock(mutex_);
  if ((flags & kSndNoStop) != 0 && now_ms_ < sound_ends_at_) return;
  sounds_.push_back({path, flags});
  // A sound played to its end has ended when the call returns.
  sound_ends_at_ = (flags & kSndAsync) != 0 ? now_ms_ + kSoundLengthMs : now_ms_;
}

std::string FakeSystem::TemporaryFolder() {
  return temporary_folder_.empty() ? std::string() : temporary_folder_ + "\\";
}

void FakeSystem::MessageBeep(std::uint32_t type) {
  std::lock_guard lock(mutex_);
  beeps_.push_back(type);
}

std::vector<std::uint32_t> FakeSystem::Beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

std::vector<FakeSystem::Sound> FakeSystem::Sounds() const {
  std::lock_guard lock(mutex_);
  return sounds_;
}

}  // namespace sg::platform::fake
