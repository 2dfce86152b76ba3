#pragma once

#include <string>
#include <string_view>

#include "platform/fake/fake_shell.h"
#include "platform/ports/files.h"
#include "platform/ports/registry.h"

namespace sg::platform::fake {

struct RegImportResult {
  bool header_ok = false;
  int keys_written = 0;
  int keys_deleted = 0;
  int values_written = 0;
  int values_deleted = 0;
  int failures = 0;  // lines that could not be understood or applied
};

// Applies the text of a registry import file ("REGEDIT4" or version 5 header, key sections,
// [-key] deletions, string, dword, hex and hex(n) values, "name"=- deletions, "\" line
// continuation) through the registry port, so that a limited user's rights apply as they do
// to the real registry editor.
RegImportResult ImportRegText(std::string_view text, RegistryPort& registry);

// Installs "regedit.exe" in the Windows folder of the fake shell. Like Wine's it accepts the
// switches /s, /v, /l and /r (the last two take a value) before the file name, and imports
// nothing when it meets any other switch.
void InstallFakeRegedit(FakeShell& shell, FilePort& files, RegistryPort& registry,
                        const std::string& windows_folder);

}  // namespace sg::platform::fake
