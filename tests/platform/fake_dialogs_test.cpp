// The fake dialogs' list views and list boxes behave as the real controls do, so that dialog
// tests on the fake mean what they would under Windows.
#include "platform/fake/fake_dialogs.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace sg::platform::fake {
namespace {

constexpr int kTemplate = 129, kList = 1000, kNames = 1001;

using Facts = std::array<int, 4>;  // control, code, item, sub-item

class NotifyRecorder : public DialogEvents {
 public:
  void OnInitDialog(DialogHost&) override {}
  void OnCommand(int, int) override {}
  void OnNotify(const ControlNotification& notification) override {
    notifications.push_back(
        {notification.control, notification.code, notification.item, notification.sub_item});
    selected_when_told = host->ListViewSelectedRows(notification.control);
  }
  DialogHost* host = nullptr;
  std::vector<Facts> notifications;
  std::vector<int> selected_when_told;
};

class FakeDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = dialogs_.CreateModeless(kTemplate, events_, nullptr);
    events_.host = host_.get();
  }
  FakeDialogHost& Dialog() { return *dialogs_.Modeless(kTemplate); }

  FakeDesktop desktop_;
  FakeDialogs dialogs_{desktop_};
  NotifyRecorder events_;
  std::unique_ptr<DialogHost> host_;
};

TEST_F(FakeDialogsTest, AListViewKeepsColumnsRowsAndImagesInRowOrder) {
  host_->ListViewAddColumn(kList, 0, "Status", 55, ColumnAlignment::kLeft);
  host_->ListViewAddColumn(kList, 1, "File", 400, ColumnAlignment::kRight);
  host_->ListViewAddColumn(kList, 1, "Name", 165, ColumnAlignment::kCenter);
  host_->ListViewSetFullRowSelect(kList);
  host_->ListViewSetImages(kList, 129, 0x00FF00FF);
  const auto& model = Dialog().control(kList);
  ASSERT_EQ(model.columns.size(), 3u);
  EXPECT_EQ(model.columns[1].header, "Name") << "inserted before the column that was there";
  EXPECT_EQ(model.columns[1].width, 165);
  EXPECT_EQ(model.columns[2].alignment, ColumnAlignment::kRight);
  EXPECT_TRUE(model.full_row_select);
  EXPECT_EQ(model.image_bitmap, 129);
  EXPECT_EQ(model.image_transparent, 0x00FF00FFu);

  // Rows inserted at the top push the others down; past the end they are appended.
  EXPECT_EQ(host_->ListViewInsert(kList, 0, "Enabled", 0), 0);
  EXPECT_EQ(host_->ListViewInsert(kList, 0, "Disabled", 1), 0);
  EXPECT_EQ(host_->ListViewInsert(kList, 40, "Last", 0), 2);
  EXPECT_EQ(host_->ListViewInsert(kList, -1, "Nowhere", 0), -1);
  host_->ListViewSetText(kList, 1, 2, "C:\\Program Files\\Toolbar\\bar.dll");
  host_->ListViewSetText(kList, 1, 7, "no such column");
  host_->ListViewSetText(kList, 9, 1, "no such row");
  EXPECT_EQ(host_->ListViewCount(kList), 3);
  EXPECT_EQ(host_->ListViewText(kList, 0, 0), "Disabled");
  EXPECT_EQ(host_->ListViewText(kList, 1, 1), "");
  EXPECT_EQ(host_->ListViewText(kList, 1, 2), "C:\\Program Files\\Toolbar\\bar.dll");
  EXPECT_EQ(host_->ListViewText(kList, 1, 7), "");
  EXPECT_EQ(host_->ListViewImage(kList, 0), 1);
  EXPECT_EQ(host_->ListViewImage(kList, 3), -1);

  // Selection moves with its row when one above goes.
  Dialog().SelectListViewRows(kList, {2, 1});
  EXPECT_EQ(host_->ListViewSelectedRows(kList), (std::vector<int>{1, 2}));
  host_->ListViewDelete(kList, 0);
  host_->ListViewDelete(kList, 5);
  EXPECT_EQ(host_->ListViewText(kList, 0, 2), "C:\\Program Files\\Toolbar\\bar.dll");
  EXPECT_EQ(host_->ListViewSelectedRows(kList), (std::vector<int>{0, 1}));
  host_->ListViewDeleteAll(kList);
  EXPECT_EQ(host_->ListViewCount(kList), 0);
  EXPECT_TRUE(host_->ListViewSelectedRows(kList).empty());
  EXPECT_EQ(Dialog().control(kList).columns.size(), 3u) << "the columns stay";
}

TEST_F(FakeDialogsTest, UserActionsOnAListViewReachTheDialogAsNotifications) {
  for (const char* name : {"first", "second", "third"}) host_->ListViewInsert(kList, 99, name, 0);
  Dialog().SelectListViewRows(kList, {0, 2});
  Dialog().DoubleClickListView(kList, 1);
  EXPECT_EQ(events_.selected_when_told, std::vector<int>{1}) << "the clicked row alone";
  Dialog().ClickListViewColumn(kList, 2);
  EXPECT_EQ(events_.notifications, (std::vector<Facts>{{kList, kLvnItemChanged, 0, 0},
                                                       {kList, kLvnItemChanged, 2, 0},
                                                       {kList, kLvnItemChanged, 0, 0},
                                                       {kList, kLvnItemChanged, 1, 0},
                                                       {kList, kLvnItemChanged, 2, 0},
                                                       {kList, kNmDblClk, 1, 0},
                                                       {kList, kLvnColumnClick, -1, 2}}))
      << "only rows whose selection changes are told of";
  Dialog().SelectListViewRows(kList, {1});
  EXPECT_EQ(events_.notifications.size(), 7u) << "nothing changed, nothing told";
}

TEST_F(FakeDialogsTest, FindingAListItemIgnoresLetterCaseButNeedsTheWholeText) {
  for (const char* item : {"ads.example", "POPUP.example", "popup.example"}) {
    host_->ListAdd(kNames, item);
  }
  EXPECT_EQ(host_->ListFindExact(kNames, "popup.example"), 1) << "the first of equal items";
  EXPECT_EQ(host_->ListFindExact(kNames, "Ads.Example"), 0);
  EXPECT_EQ(host_->ListFindExact(kNames, "popup"), -1);
  EXPECT_EQ(host_->ListFindExact(kNames, "popup.example.org"), -1);
  EXPECT_EQ(host_->ListFindExact(kList, "anything"), -1);
}

}  // namespace
}  // namespace sg::platform::fake
