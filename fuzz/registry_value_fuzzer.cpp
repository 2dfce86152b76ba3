// A value of any type and size where the settings store looks for one, read every way the store
// reads: as a setting's text, as a number, as a DWORD and by enumeration. The input is the
// type's byte, the value's name, a zero byte, then the value's bytes.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "settings/registry_store.h"

namespace {

using sg::fuzz::Check;
using sg::platform::RegistryRoot;
using sg::settings::EnumerateMode;

// C's own reading of a number, saturated to 32 bits.
std::int32_t ByStrtol(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size == 0) return 0;
  const auto type = static_cast<sg::platform::RegistryType>(data[0]);
  const std::string_view rest = sg::fuzz::TextOf(data + 1, size - 1);
  const std::size_t name_end = std::min(rest.find('\0'), rest.size());
  const std::string name(rest.substr(0, name_end));
  const std::string_view value_bytes =
      name_end < rest.size() ? rest.substr(name_end + 1) : std::string_view();
  const std::vector<std::uint8_t> bytes(value_bytes.begin(), value_bytes.end());
  const std::string text_part(value_bytes.substr(0, std::min(value_bytes.find('\0'),
                                                             value_bytes.size())));

  sg::platform::fake::FakePlatform platform;
  const std::string section = "Software\\Snapgate!";
  platform.registry.Put(RegistryRoot::kCurrentUser, section, name, {type, bytes});
  // The value's text also names a subkey, as the plug-in cleaner lists class ids.
  const std::string keys = "Software\\Snapgate! Keys";
  platform.registry.PutString(RegistryRoot::kCurrentUser, keys + "\\" + text_part, "", "");
  sg::settings::RegistryStore store(platform.ports().registry);

  const std::string read = store.ReadString("Snapgate!", name);
  Check(read == store.ReadStringAt(RegistryRoot::kCurrentUser, section, name),
        "a section and its full path read alike");
  Check(read.find('\0') == std::string::npos, "a setting's text stops at its zero byte");
  if (bytes.size() > 1000) {
    Check(read.empty(), "a value too big for the buffer reads as empty");
  } else {
    Check(read == (text_part == "-" ? "" : text_part), "a setting reads up to its zero byte");
  }
  Check(store.ReadInt("Snapgate!", name) == (read.empty() ? -1 : ByStrtol(read)),
        "a number reads as atoi reads it, held at the ends of the range");
  Check(sg::settings::ParseLeadingInt(text_part) == ByStrtol(text_part),
        "ParseLeadingInt follows atoi");

  const std::uint32_t dword = store.ReadDword("Snapgate!", name);
  if (bytes.size() > 4) {
    Check(dword == 0xFFFFFFFF, "a value bigger than a DWORD cannot be read as one");
  } else {
    std::uint32_t expected = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) expected = expected << 8 | bytes[i];
    Check(dword == expected, "a short value reads as its bytes, low byte first");
  }

  store.Enumerate(RegistryRoot::kCurrentUser, section, EnumerateMode::kValueData);
  const std::vector<std::string> values = store.Results();
  const bool listed = !text_part.empty() && name != "MRUList" && name.size() < 16'383 &&
                      bytes.size() <= 10'000;
  Check(values == (listed ? std::vector<std::string>{text_part} : std::vector<std::string>{}),
        "enumeration gives the data of every non-empty value but MRUList");
  store.Enumerate(RegistryRoot::kCurrentUser, keys, EnumerateMode::kSubkeyNames);
  for (const std::string& subkey : store.Results()) {
    Check(subkey.size() < 255, "subkey names fit their buffer");
  }
  Check(platform.registry.OpenHandleCount() == 0, "every key opened is closed");
  return 0;
}
