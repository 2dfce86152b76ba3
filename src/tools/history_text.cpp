#include "tools/history_text.h"

#include <charconv>
#include <cstdio>
#include <deque>
#include <optional>

namespace sg::tools {

namespace {

using platform::RegistryRoot;
using platform::RegistryType;

// No field the tools write comes near this (a registry value holds at most 10,000 bytes); a
// longer line is not the program's.
constexpr std::size_t kLongestLine = 65536;
constexpr std::string_view kEntryOpening = "[change ";

// The names the file gives to kinds, types and roots, looked up either way.
template <typename Key>
struct Named {
  Key key;
  std::string_view name;
};
template <typename Key, std::size_t n>
std::optional<std::string_view> NameOf(const Named<Key> (&table)[n], Key key) {
  for (const Named<Key>& known : table) {
    if (known.key == key) return known.name;
  }
  return std::nullopt;
}
template <typename Key, std::size_t n>
std::optional<Key> KeyNamed(const Named<Key> (&table)[n], std::string_view name) {
  for (const Named<Key>& known : table) {
    if (known.name == name) return known.key;
  }
  return std::nullopt;
}

constexpr Named<ChangeKind> kKindNames[] = {
    {ChangeKind::kNote, "note"},
    {ChangeKind::kProcessTerminated, "terminated"},
    {ChangeKind::kPluginDisabled, "plug-in disabled"},
    {ChangeKind::kRegistryValues, "registry"},
    {ChangeKind::kFileReplaced, "file replaced"},
};

constexpr Named<RegistryType> kTypeNames[] = {
    {RegistryType::kNone, "REG_NONE"},
    {RegistryType::kString, "REG_SZ"},
    {RegistryType::kExpandString, "REG_EXPAND_SZ"},
    {RegistryType::kBinary, "REG_BINARY"},
    {RegistryType::kDword, "REG_DWORD"},
    {RegistryType::kMultiString, "REG_MULTI_SZ"},
};
constexpr std::string_view kAbsent = "absent";

constexpr Named<RegistryRoot> kRootNames[] = {
    {RegistryRoot::kClassesRoot, "HKEY_CLASSES_ROOT"},
    {RegistryRoot::kCurrentUser, "HKEY_CURRENT_USER"},
    {RegistryRoot::kLocalMachine, "HKEY_LOCAL_MACHINE"},
};

bool Escaped(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '%';
}

std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!Escaped(byte)) {
      out += c;
      continue;
    }
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Nothing for a raw control byte or a broken escape: the program never writes either.
std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '%') {
      if (Escaped(static_cast<unsigned char>(c))) return std::nullopt;
      out += c;
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexDigit(text[i + 1]);
    const int low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<std::uint64_t> Number(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<platform::LocalDateTime> ParseTime(std::string_view text) {
  // "YYYY-MM-DD HH:MM:SS"
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  const auto part = [&](std::size_t at, std::size_t length, int low, int high) -> int {
    const auto value = Number(text.substr(at, length));
    if (!value || *value < static_cast<std::uint64_t>(low) ||
        *value > static_cast<std::uint64_t>(high)) {
      return -1;
    }
    return static_cast<int>(*value);
  };
  platform::LocalDateTime time{part(0, 4, 1601, 9999), part(5, 2, 1, 12),  part(8, 2, 1, 31),
                               part(11, 2, 0, 23),     part(14, 2, 0, 59), part(17, 2, 0, 59)};
  if (time.year < 0 || time.month < 0 || time.day < 0 || time.hour < 0 || time.minute < 0 ||
      time.second < 0) {
    return std::nullopt;
  }
  return time;
}

std::string KindText(ChangeKind kind) {
  return std::string(NameOf(kKindNames, kind).value_or(""));
}

std::string TypeText(bool present, RegistryType type) {
  if (!present) return std::string(kAbsent);
  if (const auto name = NameOf(kTypeNames, type)) return std::string(*name);
  return std::to_string(static_cast<std::uint32_t>(type));
}

// Sets present and type; false for a text that names no type.
bool ParseType(std::string_view text, bool& present, RegistryType& type) {
  present = text != kAbsent;
  if (!present) {
    type = RegistryType::kNone;
    return true;
  }
  if (const auto known = KeyNamed(kTypeNames, text)) {
    type = *known;
    return true;
  }
  const auto number = Number(text);
  if (!number || *number > 0xFFFFFFFFu) return false;
  type = static_cast<RegistryType>(static_cast<std::uint32_t>(*number));
  return true;
}

void Line(std::string& out, std::string_view name, std::string_view value) {
  out += name;
  out += '=';
  out += Escape(value);
  out += "\r\n";
}

void FormatEntry(std::string& out, const HistoryEntry& entry) {
  out += "\r\n";
  out += kEntryOpening;
  out += std::to_string(entry.id);
  out += "]\r\n";
  Line(out, "time", HistoryTimeText(entry.time));
  Line(out, "tool", entry.tool);
  Line(out, "kind", KindText(entry.kind));
  Line(out, "change", entry.change);
  Line(out, "reason", entry.reason);
  if (entry.undoes != 0) Line(out, "undoes", std::to_string(entry.undoes));
  // Only the fields an entry has, so that the file reads as plainly as it can; the values come
  // last, since their fields follow the key that opens each.
  const auto field = [&](std::string_view name, const std::string& value) {
    if (!value.empty()) Line(out, name, value);
  };
  field("process", entry.process_name);
  field("process path", entry.process_path);
  field("run value", entry.run_value);
  if (entry.built_in_name) Line(out, "built-in name", "yes");
  field("plug-in", entry.plugin_name);
  field("old path", entry.old_path);
  field("new path", entry.new_path);
  field("file", entry.file_path);
  field("backup", entry.backup_path);
  field("new digest", entry.new_digest);
  for (const RegistryValueChange& value : entry.values) {
    Line(out, "value key", RootName(value.root) + "\\" + value.path);
    Line(out, "value name", value.name);
    Line(out, "old type", TypeText(value.old_present, value.old_type));
    Line(out, "old data", value.old_data);
    Line(out, "new type", TypeText(value.new_present, value.new_type));
    Line(out, "new data", value.new_data);
  }
}

// Reads one "name=value" line into the entry; false when the line is none of its fields.
bool ReadField(HistoryEntry& entry, std::string_view name, const std::string& value) {
  RegistryValueChange* last = entry.values.empty() ? nullptr : &entry.values.back();
  if (name == "time") {
    const auto time = ParseTime(value);
    if (!time) return false;
    entry.time = *time;
  } else if (name == "tool") {
    entry.tool = value;
  } else if (name == "kind") {
    const auto kind = KeyNamed(kKindNames, value);
    if (!kind) return false;
    entry.kind = *kind;
  } else if (name == "change") {
    entry.change = value;
  } else if (name == "reason") {
    entry.reason = value;
  } else if (name == "undoes") {
    const auto id = Number(value);
    if (!id || *id == 0) return false;
    entry.undoes = *id;
  } else if (name == "process") {
    entry.process_name = value;
  } else if (name == "process path") {
    entry.process_path = value;
  } else if (name == "run value") {
    entry.run_value = value;
  } else if (name == "built-in name") {
    if (value != "yes" && value != "no") return false;
    entry.built_in_name = value == "yes";
  } else if (name == "plug-in") {
    entry.plugin_name = value;
  } else if (name == "old path") {
    entry.old_path = value;
  } else if (name == "new path") {
    entry.new_path = value;
  } else if (name == "value key") {
    RegistryValueChange change;
    bool known_root = false;
    for (const Named<RegistryRoot>& root : kRootNames) {
      const std::string prefix = std::string(root.name) + "\\";
      if (value.starts_with(prefix) && value.size() > prefix.size()) {
        change.root = root.key;
        change.path = value.substr(prefix.size());
        known_root = true;
        break;
      }
    }
    if (!known_root) return false;
    entry.values.push_back(std::move(change));
  } else if (last == nullptr) {
    // Every other field belongs to a value, which its key opens.
    if (name == "file") {
      entry.file_path = value;
    } else if (name == "backup") {
      entry.backup_path = value;
    } else if (name == "new digest") {
      entry.new_digest = value;
    } else {
      return false;
    }
  } else if (name == "value name") {
    last->name = value;
  } else if (name == "old type") {
    return ParseType(value, last->old_present, last->old_type);
  } else if (name == "old data") {
    last->old_data = value;
  } else if (name == "new type") {
    return ParseType(value, last->new_present, last->new_type);
  } else if (name == "new data") {
    last->new_data = value;
  } else {
    return false;
  }
  return true;
}

// What an entry needs before anything may act on it.
bool Complete(const HistoryEntry& entry, bool has_time) {
  if (!has_time || entry.tool.empty()) return false;
  switch (entry.kind) {
    case ChangeKind::kNote:
      return true;
    case ChangeKind::kProcessTerminated:
      return !entry.process_name.empty();
    case ChangeKind::kPluginDisabled:
      return !entry.old_path.empty() && !entry.new_path.empty();
    case ChangeKind::kRegistryValues:
      return !entry.values.empty();
    case ChangeKind::kFileReplaced:
      return !entry.file_path.empty();
  }
  return false;
}

class Reader {
 public:
  explicit Reader(std::size_t most_entries) : most_entries_(most_entries) {}

  void Take(std::string_view line) {
    if (line.size() > kLongestLine) {
      Broken();
      return;
    }
    if (line.starts_with(kEntryOpening) && line.ends_with("]")) {
      Finish();
      Open(line.substr(kEntryOpening.size(), line.size() - kEntryOpening.size() - 1));
      return;
    }
    if (line.empty()) return;
    if (!open_) {
      ++result_.unreadable_lines;
      return;
    }
    ++lines_of_entry_;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      broken_ = true;
      return;
    }
    const std::string_view name = line.substr(0, equals);
    const auto value = Unescape(line.substr(equals + 1));
    if (!value || !ReadField(entry_, name, *value)) {
      broken_ = true;
      return;
    }
    if (name == "time") has_time_ = true;
  }

  ParsedHistory Done() {
    Finish();
    result_.entries.assign(std::make_move_iterator(kept_.begin()),
                           std::make_move_iterator(kept_.end()));
    return std::move(result_);
  }

  ParsedHistory& result() { return result_; }

 private:
  void Broken() {
    if (open_) {
      broken_ = true;
      ++lines_of_entry_;
    } else {
      ++result_.unreadable_lines;
    }
  }

  void Open(std::string_view id_text) {
    open_ = true;
    broken_ = false;
    has_time_ = false;
    lines_of_entry_ = 1;
    entry_ = HistoryEntry();
    const auto id = Number(id_text);
    // Ids rise through the file; a repeated one could make an undo act on the wrong entry.
    if (!id || *id == 0 || *id <= last_id_) {
      broken_ = true;
      return;
    }
    entry_.id = *id;
  }

  void Finish() {
    if (!open_) return;
    open_ = false;
    if (broken_ || !Complete(entry_, has_time_)) {
      result_.unreadable_lines += lines_of_entry_;
      return;
    }
    last_id_ = entry_.id;
    kept_.push_back(std::move(entry_));
    if (kept_.size() > most_entries_) kept_.pop_front();
  }

  std::size_t most_entries_;
  ParsedHistory result_;
  std::deque<HistoryEntry> kept_;
  HistoryEntry entry_;
  bool open_ = false;
  bool broken_ = false;
  bool has_time_ = false;
  std::size_t lines_of_entry_ = 0;
  std::uint64_t last_id_ = 0;
};

}  // namespace

std::string HistoryTimeText(const platform::LocalDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

std::string RootName(platform::RegistryRoot root) {
  return std::string(NameOf(kRootNames, root).value_or(""));
}

std::string FormatHistory(const std::vector<HistoryEntry>& entries) {
  std::string out(kHistoryHeader);
  out += "\r\n";
  for (const HistoryEntry& entry : entries) FormatEntry(out, entry);
  return out;
}

ParsedHistory ParseHistory(std::string_view text, std::size_t most_entries) {
  Reader reader(most_entries);
  bool first = true;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    start = end + 1;
    if (first) {
      first = false;
      if (line == kHistoryHeader) continue;
      reader.result().header_missing = true;
    }
    reader.Take(line);
  }
  if (first) reader.result().header_missing = true;
  return reader.Done();
}

}  // namespace sg::tools
