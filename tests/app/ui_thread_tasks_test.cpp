// The one route from worker threads to a window's own thread.
#include "app/ui_thread_tasks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sg::app {
namespace {

// A window whose thread runs the tasks posted to it.
class TaskWindow final : public platform::DialogEvents {
 public:
  void OnInitDialog(platform::DialogHost&) override {}
  void OnCommand(int, int) override {}
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t,
                                         std::intptr_t) override {
    if (message != kMessageRunUiTasks || !tasks) return std::nullopt;
    tasks->RunQueued();
    return 0;
  }
  UiThreadTasks* tasks = nullptr;
};

TEST(UiThreadTasksTest, TasksRunInOrderOnTheWindowsThreadWhileTheWindowIsOpen) {
  platform::fake::FakePlatform system;
  UiThreadTasks tasks(system.desktop);
  TaskWindow events;
  events.tasks = &tasks;
  std::vector<std::string> ran;
  EXPECT_FALSE(tasks.poster().Post([&] { ran.push_back("early"); })) << "no window yet";

  auto first = system.dialogs.CreateModeless(1, events, nullptr);
  tasks.Open(first->Window());
  const UiThreadTasks::Poster poster = tasks.poster();
  EXPECT_TRUE(poster.Post([&] {
    ran.push_back("one");
    // Posted by a task: it runs in the same delivery, after what was queued before it.
    poster.Post([&] { ran.push_back("three"); });
  }));
  EXPECT_TRUE(poster.Post([&] { ran.push_back("two"); }));
  EXPECT_TRUE(ran.empty()) << "nothing runs before the window's thread gets to it";
  system.desktop.DeliverPosted();
  EXPECT_EQ(ran, (std::vector<std::string>{"one", "two", "three"}));

  // The window is about to close: what is queued still runs, nothing later is taken.
  EXPECT_TRUE(poster.Post([&] { ran.push_back("queued"); }));
  tasks.Close();
  EXPECT_FALSE(poster.Post([&] { ran.push_back("late"); }));
  system.desktop.DeliverPosted();
  EXPECT_EQ(ran.back(), "queued");

  // The same tasks for a later window: the earlier window's posters stay refused.
  auto second = system.dialogs.CreateModeless(2, events, nullptr);
  tasks.Open(second->Window());
  EXPECT_FALSE(poster.Post([&] { ran.push_back("stale"); }));
  tasks.PostAfter(system.system, 1000, [&] { ran.push_back("waited"); });
  EXPECT_EQ(system.system.RunThreads(), 1);
  EXPECT_EQ(system.system.Now(), 1000u);
  system.desktop.DeliverPosted();
  EXPECT_EQ(ran, (std::vector<std::string>{"one", "two", "three", "queued", "waited"}));

  // The owner goes with a task queued: the task is let go unrun, and later posts are refused.
  auto owner = std::make_unique<UiThreadTasks>(system.desktop);
  events.tasks = owner.get();
  owner->Open(second->Window());
  const UiThreadTasks::Poster kept = owner->poster();
  auto held = std::make_shared<int>(0);
  EXPECT_TRUE(kept.Post([held] { ++*held; }));
  events.tasks = nullptr;
  owner.reset();
  EXPECT_EQ(held.use_count(), 1) << "let go on the owner's thread, not the last worker's";
  EXPECT_FALSE(kept.Post([held] { ++*held; }));
  system.desktop.DeliverPosted();
  EXPECT_EQ(*held, 0);
}

}  // namespace
}  // namespace sg::app
