#include "platform/fake/fake_regedit.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "common/ascii.h"
#include "platform/fake/registry_tree.h"

namespace sg::platform::fake {

namespace {

std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continued = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (continued) {
      const auto first = line.find_first_not_of(" \t");
      line = first == std::string::npos ? "" : line.substr(first);
    }
    // Only hex data may run on over several lines.
    if (!line.empty() && line.back() == '\\' &&
        (continued || line.find("=hex") != std::string::npos)) {
      current += line.substr(0, line.size() - 1);
      continued = true;
    } else {
      current += line;
      lines.push_back(current);
      current.clear();
      continued = false;
    }
    start = end + 1;
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

std::optional<std::pair<RegistryRoot, std::string>> ParseKeyPath(const std::string& path) {
  const auto slash = path.find('\\');
  const std::string root = AsciiUpper(path.substr(0, slash));
  const std::string rest = slash == std::string::npos ? "" : path.substr(slash + 1);
  if (root == "HKEY_CURRENT_USER" || root == "HKCU") return {{RegistryRoot::kCurrentUser, rest}};
  if (root == "HKEY_LOCAL_MACHINE" || root == "HKLM") return {{RegistryRoot::kLocalMachine, rest}};
  if (root == "HKEY_CLASSES_ROOT" || root == "HKCR") return {{RegistryRoot::kClassesRoot, rest}};
  return std::nullopt;
}

// Reads a quoted string with \\ and \" escapes starting at text[pos] == '"'; pos ends past it.
std::optional<std::string> ParseQuoted(const std::string& text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '\\' && pos + 1 < text.size()) {
      out += text[++pos];
    } else if (c == '"') {
      ++pos;
      return out;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  std::string digits;
  auto flush = [&]() -> bool {
    if (digits.empty()) return true;
    if (digits.size() > 2) return false;
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, 16);
    if (*end) return false;
    bytes.push_back(static_cast<std::uint8_t>(value));
    digits.clear();
    return true;
  };
  for (char c : text) {
    if (c == ',') {
      if (!flush()) return std::nullopt;
    } else if (c != ' ' && c != '\t') {
      digits += c;
    }
  }
  if (!flush()) return std::nullopt;
  return bytes;
}

class Importer {
 public:
  explicit Importer(RegistryPort& registry) : registry_(registry) {}
  ~Importer() { CloseCurrent(); }

  RegImportResult Run(std::string_view text) {
    auto lines = LogicalLines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].empty()) ++i;
    if (i == lines.size() ||
        (lines[i] != "REGEDIT4" && lines[i] != "Windows Registry Editor Version 5.00")) {
      return result_;
    }
    result_.header_ok = true;
    for (++i; i < lines.size(); ++i) Line(lines[i]);
    return result_;
  }

 private:
  void CloseCurrent() {
    if (current_) registry_.CloseKey(current_);
    current_ = 0;
  }

  void Line(const std::string& raw) {
    const auto first = raw.find_first_not_of(" \t");
    if (first == std::string::npos || raw[first] == ';') return;
    const std::string line = raw.substr(first);
    if (line[0] == '[') return Section(line);
    if (!current_) {
      ++result_.failures;
      return;
    }
    Value(line);
  }

  void Section(const std::string& line) {
    CloseCurrent();
    const auto close = line.rfind(']');
    if (close == std::string::npos) return void(++result_.failures);
    std::string path = line.substr(1, close - 1);
    const bool remove = !path.empty() && path[0] == '-';
    if (remove) path = path.substr(1);
    auto key = ParseKeyPath(path);
    if (!key) return void(++result_.failures);
    if (remove) {
      if (DeleteKeyTree(registry_, key->first, key->second)) ++result_.keys_deleted;
      return;
    }
    if (registry_.CreateKey(key->first, key->second, key_access::kAllAccess, current_, nullptr) !=
        WinError::kSuccess) {
      current_ = 0;
      ++result_.failures;
      return;
    }
    ++result_.keys_written;
  }

  void Value(const std::string& line) {
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
      pos = 1;
    } else {
      auto quoted = ParseQuoted(line, pos);
      if (!quoted) return void(++result_.failures);
      name = *quoted;
    }
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size() || line[pos] != '=') return void(++result_.failures);
    ++pos;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    const std::string data = line.substr(pos);

    if (data == "-") {
      if (registry_.DeleteValue(current_, name) == WinError::kSuccess) ++result_.values_deleted;
      return;
    }
    RegistryType type;
    std::vector<std::uint8_t> bytes;
    if (!data.empty() && data[0] == '"') {
      std::size_t at = 0;
      auto text = ParseQuoted(data, at);
      if (!text || at != data.size()) return void(++result_.failures);
      type = RegistryType::kString;
      bytes.assign(text->begin(), text->end());
      bytes.push_back(0);
    } else if (data.starts_with("dword:")) {
      const std::string digits = data.substr(6);
      char* end = nullptr;
      const unsigned long value = std::strtoul(digits.c_str(), &end, 16);
      if (digits.empty() || digits.size() > 8 || *end) return void(++result_.failures);
      type = RegistryType::kDword;
      for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
      }
    } else if (data.starts_with("hex")) {
      std::size_t colon = data.find(':');
      if (colon == std::string::npos) return void(++result_.failures);
      type = RegistryType::kBinary;
      if (colon > 3) {
        const std::string kind = data.substr(3, colon - 3);  // "(n)"
        if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')') {
          return void(++result_.failures);
        }
        type = static_cast<RegistryType>(std::strtoul(kind.c_str() + 1, nullptr, 16));
      }
      auto parsed = ParseHexBytes(data.substr(colon + 1));
      if (!parsed) return void(++result_.failures);
      bytes = std::move(*parsed);
    } else {
      return void(++result_.failures);
    }
    if (registry_.SetValue(current_, name, type, bytes) == WinError::kSuccess) {
      ++result_.values_written;
    } else {
      ++result_.failures;
    }
  }

  RegistryPort& registry_;
  RegistryKey current_ = 0;
  RegImportResult result_;
};

std::vector<std::string> CommandLineWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

}  // namespace

RegImportResult ImportRegText(std::string_view text, RegistryPort& registry) {
  return Importer(registry).Run(text);
}

void InstallFakeRegedit(FakeShell& shell, FilePort& files, RegistryPort& registry,
                        const std::string& windows_folder) {
  auto regedit = [&files, &registry](const std::string& parameters) {
    auto words = CommandLineWords(parameters);
    std::size_t i = 0;
    for (; i < words.size() && (words[i][0] == '/' || words[i][0] == '-'); ++i) {
      const char option = AsciiUpper(words[i].size() > 1 ? words[i][1] : '\0');
      if (option == 'L' || option == 'R') {
        ++i;
      } else if (option != 'S' && option != 'V') {
        return;  // an unknown switch: nothing is imported
      }
    }
    for (; i < words.size(); ++i) {
      auto file = files.Open(words[i], FileOpenMode::kReadOnly);
      if (!file) continue;
      std::string text;
      std::uint8_t buffer[4096];
      while (auto count = file->Read(buffer)) {
        if (*count == 0) break;
        text.append(reinterpret_cast<const char*>(buffer), *count);
      }
      file->Close();
      ImportRegText(text, registry);
    }
  };
  shell.InstallProgram(windows_folder + "\\regedit.exe", regedit);
}

}  // namespace sg::platform::fake
