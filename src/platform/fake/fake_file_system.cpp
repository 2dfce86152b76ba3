#include "platform/fake/fake_file_system.h"

#include <algorithm>
#include <cstring>

#include "common/ascii.h"

namespace sg::platform::fake {

struct FakeFileSystem::File {
  std::string path;  // as first spelled
  std::vector<std::uint8_t> bytes;
  int open_count = 0;
  int writers = 0;  // of open_count
  bool read_only = false;
};

class FakeFileSystem::Handle final : public OpenFile {
 public:
  Handle(FakeFileSystem& owner, std::shared_ptr<File> file, bool writable)
      : owner_(owner), file_(std::move(file)), writable_(writable) {}
  ~Handle() override { Close(); }

  bool Write(std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(owner_.mutex_);
    if (!file_ || !writable_) return false;
    switch (owner_.CountChange()) {
      case ChangeOutcome::kGoesAhead:
        break;
      case ChangeOutcome::kTorn:
        file_->bytes.insert(file_->bytes.end(), bytes.begin(), bytes.begin() + bytes.size() / 2);
        return false;
      case ChangeOutcome::kFails:
        return false;
    }
    if (bytes.size() > owner_.write_budget_) {
      owner_.write_budget_ = 0;
      return false;
    }
    owner_.write_budget_ -= bytes.size();
    file_->bytes.insert(file_->bytes.end(), bytes.begin(), bytes.end());
    return true;
  }

  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    std::lock_guard lock(owner_.mutex_);
    if (!file_ || writable_ || owner_.failing_reads_.count(AsciiUpper(file_->path))) {
      return std::nullopt;
    }
    const std::size_t available = file_->bytes.size() - std::min(position_, file_->bytes.size());
    const std::size_t count = std::min(available, buffer.size());
    if (count) std::memcpy(buffer.data(), file_->bytes.data() + position_, count);
    position_ += count;
    return count;
  }

  bool Close() override {
    std::lock_guard lock(owner_.mutex_);
    if (!file_) return false;
    --file_->open_count;
    if (writable_) --file_->writers;
    const bool ok = !owner_.failing_closes_.count(AsciiUpper(file_->path));
    file_.reset();
    return ok;
  }

 private:
  FakeFileSystem& owner_;
  std::shared_ptr<File> file_;
  bool writable_;
  std::size_t position_ = 0;
};

namespace {

const std::string& KeyOf(const std::string& key) {
  return key;
}
template <typename Value>
const std::string& KeyOf(const std::pair<const std::string, Value>& entry) {
  return entry.first;
}

}  // namespace

FakeFileSystem::FakeFileSystem() {
  directories_.insert("C:");
  CreateDirectory("C:\\Windows");
  CreateDirectory("C:\\Program Files\\Snapgate!");
  current_directory_ = "C:\\Program Files\\Snapgate!";
}

FakeFileSystem::~FakeFileSystem() = default;

std::string FakeFileSystem::FullPath(const std::string& path) const {
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  std::string base;
  if (text.size() >= 2 && text[1] == ':') {
    base = text.substr(0, 2);
    text = text.substr(2);
    if (text.empty() || text[0] != '\\') {
      // "C:name" is relative to the current directory when it is on that drive.
      if (EqualsIgnoringCase(base, current_directory_.substr(0, 2))) base = current_directory_;
    }
  } else if (!text.empty() && text[0] == '\\') {
    base = current_directory_.substr(0, 2);
  } else {
    base = current_directory_;
  }

  std::vector<std::string> parts;
  std::string drive = base.substr(0, 2);
  std::string rest = base.substr(2) + "\\" + text;
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (char c : rest) {
    if (c == '\\') {
      flush();
    } else {
      part += c;
    }
  }
  flush();
  std::string full = AsciiUpper(drive.substr(0, 1)) + ":";
  for (const auto& p : parts) full += "\\" + p;
  return full;
}

std::string FakeFileSystem::Key(const std::string& path) const {
  return FollowJunctions(AsciiUpper(FullPath(path)));
}

std::string FakeFileSystem::FollowJunctions(std::string key) const {
  // Windows, too, gives up on a path after this many links.
  constexpr int kMaxLinksFollowed = 63;
  for (int followed = 0; !junctions_.empty(); ++followed) {
    bool followed_one = false;
    for (std::size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
      const auto junction = junctions_.find(key.substr(0, end));
      if (junction != junctions_.end()) {
        if (followed == kMaxLinksFollowed) return {};
        key = junction->second.target_key + (end == std::string::npos ? "" : key.substr(end));
        followed_one = true;
        break;
      }
      if (end == std::string::npos) break;
    }
    if (!followed_one) break;
  }
  return key;
}

std::string FakeFileSystem::Parent(const std::string& full_path) const {
  const auto slash = full_path.rfind('\\');
  return slash == std::string::npos ? full_path : full_path.substr(0, slash);
}

void FakeFileSystem::SetCurrentDirectory(const std::string& path) {
  CreateDirectory(path);
  std::lock_guard lock(mutex_);
  current_directory_ = FullPath(path);
}

void FakeFileSystem::CreateDirectory(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::string key = Key(path);
  std::string spelled = FullPath(path);
  while (key.size() > 2) {
    directories_.insert(key);
    directory_names_.emplace(key, spelled.substr(spelled.rfind('\\') + 1));
    key = Parent(key);
    spelled = Parent(spelled);
  }
}

void FakeFileSystem::MakeJunction(const std::string& path, const std::string& target) {
  CreateDirectory(target);
  const std::string full = FullPath(path);
  CreateDirectory(Parent(full));
  std::lock_guard lock(mutex_);
  const std::string name = full.substr(full.rfind('\\') + 1);
  junctions_[Key(Parent(full)) + "\\" + AsciiUpper(name)] = {name, Key(target)};
}

std::vector<FolderEntry> FakeFileSystem::ListFolder(const std::string& folder) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(folder);
  if (!directories_.count(key)) return {};
  const std::string prefix = key + "\\";
  // The entries directly in the folder: keys that go on from the prefix without a backslash.
  std::vector<std::pair<std::string, FolderEntry>> found;
  auto collect = [&](const auto& by_key, auto make_entry) {
    for (auto it = by_key.lower_bound(prefix); it != by_key.end(); ++it) {
      const std::string& entry_key = KeyOf(*it);
      if (entry_key.compare(0, prefix.size(), prefix) != 0) break;
      if (entry_key.find('\\', prefix.size()) == std::string::npos) {
        found.emplace_back(entry_key.substr(prefix.size()), make_entry(*it));
      }
    }
  };
  collect(directories_, [&](const std::string& directory) {
    const auto name = directory_names_.find(directory);
    return FolderEntry{
        name != directory_names_.end() ? name->second : directory.substr(prefix.size()), true,
        false};
  });
  collect(junctions_, [](const auto& junction) {
    return FolderEntry{junction.second.name, true, true};
  });
  collect(files_, [](const auto& file) {
    const std::string& path = file.second->path;
    return FolderEntry{path.substr(path.rfind('\\') + 1), false, false};
  });
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });

  std::vector<FolderEntry> entries;
  if (key.size() > 2) {
    entries.push_back({".", true, false});
    entries.push_back({"..", true, false});
  }
  for (auto& [sort_key, entry] : found) entries.push_back(std::move(entry));
  return entries;
}

CreateFolderResult FakeFileSystem::CreateFolder(const std::string& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (key.size() <= 2 || directories_.count(key) || files_.count(key)) {
    return key.empty() ? CreateFolderResult::kFailed : CreateFolderResult::kAlreadyExists;
  }
  if (!directories_.count(Parent(key)) || IsProtected(Parent(key))) {
    return CreateFolderResult::kFailed;
  }
  if (CountChange() != ChangeOutcome::kGoesAhead) return CreateFolderResult::kFailed;
  const std::string spelled = FullPath(path);
  directories_.insert(key);
  directory_names_.emplace(key, spelled.substr(spelled.rfind('\\') + 1));
  return CreateFolderResult::kCreated;
}

bool FakeFileSystem::RemoveFolder(const std::string& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  if (key.size() <= 2 || !directories_.count(key) || IsProtected(Parent(key))) return false;
  const std::string prefix = key + "\\";
  const auto holds = [&prefix](const auto& by_key) {
    const auto next = by_key.lower_bound(prefix);
    return next != by_key.end() && KeyOf(*next).compare(0, prefix.size(), prefix) == 0;
  };
  if (holds(directories_) || holds(files_) || holds(junctions_)) return false;
  if (CountChange() != ChangeOutcome::kGoesAhead) return false;
  directories_.erase(key);
  directory_names_.erase(key);
  return true;
}

std::unique_ptr<OpenFile> FakeFileSystem::Open(const std::string& path, FileOpenMode mode) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  auto found = files_.find(key);
  if (mode != FileOpenMode::kCreateWriteOnly) {
    if (found == files_.end()) return nullptr;
    // Sharing only reading, a locked open cannot join a writer.
    if (mode == FileOpenMode::kReadLocked && found->second->writers) return nullptr;
    ++found->second->open_count;
    return std::make_unique<Handle>(*this, found->second, false);
  }
  if (directories_.count(key) || !directories_.count(Parent(key)) || IsProtected(Parent(key))) {
    return nullptr;
  }
  if (CountChange() != ChangeOutcome::kGoesAhead) return nullptr;
  if (found != files_.end()) {
    // Windows shares no access by default: an open file cannot be created anew.
    if (found->second->read_only || found->second->open_count) return nullptr;
    found->second->bytes.clear();
  } else {
    auto file = std::make_shared<File>();
    file->path = FullPath(path);
    found = files_.emplace(key, std::move(file)).first;
  }
  ++found->second->open_count;
  ++found->second->writers;
  return std::make_unique<Handle>(*this, found->second, true);
}

bool FakeFileSystem::Delete(const std::string& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  auto found = files_.find(key);
  if (found == files_.end() || found->second->read_only || found->second->open_count ||
      IsProtected(Parent(key))) {
    return false;
  }
  if (CountChange() != ChangeOutcome::kGoesAhead) return false;
  files_.erase(found);
  return true;
}

bool FakeFileSystem::Rename(const std::string& from_key, const std::string& to) {
  auto source = files_.find(from_key);
  const std::string to_key = Key(to);
  if (source == files_.end() || source->second->open_count) return false;
  if (!directories_.count(Parent(to_key))) return false;
  if (IsProtected(Parent(from_key)) || IsProtected(Parent(to_key))) return false;
  if (CountChange() != ChangeOutcome::kGoesAhead) return false;
  auto file = source->second;
  files_.erase(source);
  file->path = FullPath(to);
  files_[to_key] = std::move(file);
  return true;
}

bool FakeFileSystem::Move(const std::string& from, const std::string& to) {
  std::lock_guard lock(mutex_);
  const std::string from_key = Key(from);
  const std::string to_key = Key(to);
  // A new spelling of the same name is a rename onto itself, which Windows allows.
  if (to_key != from_key && (files_.count(to_key) || directories_.count(to_key))) return false;
  return Rename(from_key, to);
}

bool FakeFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  std::lock_guard lock(mutex_);
  if (auto target = files_.find(Key(to)); target != files_.end()) {
    if (target->second->read_only || target->second->open_count) return false;
  }
  return Rename(Key(from), to);
}

void FakeFileSystem::InterruptAfter(std::size_t changes, Interruption how) {
  std::lock_guard lock(mutex_);
  interrupted_change_ = changes_ + changes;
  interruption_ = how;
}

std::size_t FakeFileSystem::ChangesSoFar() const {
  std::lock_guard lock(mutex_);
  return changes_;
}

FakeFileSystem::ChangeOutcome FakeFileSystem::CountChange() {
  const std::size_t change = changes_++;
  if (!interrupted_change_ || change < *interrupted_change_) return ChangeOutcome::kGoesAhead;
  if (interruption_ == Interruption::kOneCallFails) {
    return change == *interrupted_change_ ? ChangeOutcome::kFails : ChangeOutcome::kGoesAhead;
  }
  return change == *interrupted_change_ ? ChangeOutcome::kTorn : ChangeOutcome::kFails;
}

bool FakeFileSystem::CanCreateFilesIn(const std::string& folder) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(folder);
  return directories_.count(key) && !IsProtected(key);
}

bool FakeFileSystem::IsProtected(const std::string& folder_key) const {
  for (const std::string& protected_key : protected_folders_) {
    if (folder_key == protected_key ||
        (folder_key.starts_with(protected_key) && folder_key[protected_key.size()] == '\\')) {
      return true;
    }
  }
  return false;
}

void FakeFileSystem::ProtectFolder(const std::string& path) {
  CreateDirectory(path);
  std::lock_guard lock(mutex_);
  protected_folders_.insert(Key(path));
}

bool FakeFileSystem::Exists(const std::string& path) {
  std::lock_guard lock(mutex_);
  const std::string key = Key(path);
  return files_.count(key) || directories_.count(key);
}

void FakeFileSystem::PutFile(const std::string& path, const std::string& content) {
  CreateDirectory(Parent(FullPath(path)));
  std::lock_guard lock(mutex_);
  auto& file = files_[Key(path)];
  if (!file) {
    file = std::make_shared<File>();
    file->path = FullPath(path);
  }
  file->bytes.assign(content.begin(), content.end());
}

std::optional<std::string> FakeFileSystem::FileContent(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = files_.find(Key(path));
  if (found == files_.end()) return std::nullopt;
  return std::string(found->second->bytes.begin(), found->second->bytes.end());
}

std::vector<std::string> FakeFileSystem::FilesIn(const std::string& folder) const {
  std::lock_guard lock(mutex_);
  const std::string folder_key = Key(folder);
  std::vector<std::string> names;
  for (const auto& [key, file] : files_) {
    if (Parent(key) == folder_key) names.push_back(file->path.substr(file->path.rfind('\\') + 1));
  }
  return names;
}

void FakeFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  std::lock_guard lock(mutex_);
  if (auto found = files_.find(Key(path)); found != files_.end()) {
    found->second->read_only = read_only;
  }
}

void FakeFileSystem::FailReadsOf(const std::string& path) {
  std::lock_guard lock(mutex_);
  failing_reads_.insert(Key(path));
}

void FakeFileSystem::FailClosesOf(const std::string& path) {
  std::lock_guard lock(mutex_);
  failing_closes_.insert(Key(path));
}

}  // namespace sg::platform::fake
