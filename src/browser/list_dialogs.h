#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "browser/filter_list.h"
#include "common/web_addresses.h"
#include "platform/ports/platform.h"

namespace sg::browser {

// A hidden modeless dialog whose list box is one of the user's filter lists, with its file.
// "&Add" and "&Remove" change only the list box; "&OK" saves it; the close box just hides.
class FilterListDialog : public platform::DialogEvents {
 public:
  FilterListDialog(const FilterListDialog&) = delete;
  FilterListDialog& operator=(const FilterListDialog&) = delete;

  // Makes the window, hidden, with the main dialog as its parent.
  void Create(platform::DialogHost* parent);
  // Appends the entries of the list's file.
  void Load();
  // Writes the list's file; true when it was written.
  bool Save();
  void Show(int show_command = platform::kSwShow);

  // The list as it stands now; valid while the window exists.
  FilterList Entries();
  void Append(const std::string& entry);
  // Moves on with every change to the list. Only the program changes its list box, so the same
  // revision means the same entries, and a reader need not read them all again.
  std::uint64_t revision() const { return revision_; }

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 protected:
  FilterListDialog(platform::Platform& platform, int template_id, std::string_view file_name)
      : platform_(platform), template_id_(template_id), file_name_(file_name) {}

  // The entry dialog of "&Add": the text, or nothing on Cancel.
  virtual std::optional<std::string> AskForEntry() = 0;
  // What "&OK" keeps besides the list, after the list is saved.
  virtual void KeepSettings() {}

  platform::Platform& platform_;
  platform::DialogHost* host_ = nullptr;

 private:
  int template_id_;
  std::string file_name_;
  std::unique_ptr<platform::DialogHost> window_;
  std::uint64_t revision_ = 0;
};

// The block list ("filters.txt") and the response rate of the title scan.
class BlockListDialog final : public FilterListDialog {
 public:
  static constexpr std::string_view kFileName = "filters.txt";
  static constexpr std::string_view kHelpAddress = kBlockListHelpPage;

  // Reads the stored response rate.
  explicit BlockListDialog(platform::Platform& platform);

  // 0 (normal), 1 or 2 (fast): the period of the title scan.
  int ResponseRate() const { return response_rate_; }
  // Changes the rate in memory and on the slider; it is stored at the next "&OK".
  void SetResponseRate(int rate);

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 private:
  std::optional<std::string> AskForEntry() override;
  void KeepSettings() override;

  int response_rate_;
};

// The safe sites ("whitelist.txt").
class SafeSiteDialog final : public FilterListDialog {
 public:
  static constexpr std::string_view kFileName = "whitelist.txt";

  explicit SafeSiteDialog(platform::Platform& platform);

 private:
  std::optional<std::string> AskForEntry() override;
};

// Tray command "Add to Safe Sites": asks for a site; a non-empty one is appended and saved.
void AddToSafeSites(platform::Platform& platform, SafeSiteDialog& safe_sites,
                    platform::DialogHost* parent);
// Tray command "Add to Block List": asks for a validated title, appends it unless empty, and
// saves the list on every OK.
void AddToBlockList(platform::Platform& platform, BlockListDialog& block_list,
                    platform::DialogHost* parent);

}  // namespace sg::browser
