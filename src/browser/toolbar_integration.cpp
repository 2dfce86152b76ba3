#include "browser/toolbar_integration.h"

#include <string>

#include "common/ascii.h"
#include "settings/registry_store.h"

namespace sg::browser {

namespace {

using settings::kProgramSection;
using settings::RegistryStore;

struct ExtensionValue {
  const char* name;
  const char* failure;
};

// In the order they are written, each with the message shown when its key cannot be written.
constexpr ExtensionValue kValues[] = {
    {"Default Visible", "Could not create IE integration key Visible."},
    {"ButtonText", "Could not create IE integration key Button."},
    {"HotIcon", "Could not create IE integration key Hot."},
    {"Icon", "Could not create IE integration key Ico."},
    {"CLSID", "Could not create IE integration key CLS."},
    {"Exec", "Could not create IE integration key Exe."},
    {"MenuCustomize", "Could not create IE integration key Customize."},
    {"MenuText", "Could not create IE integration key Menu."},
    {"MenuStatusBar", "Could not create IE integration key StatusBar"},
};

std::string ValueText(const std::string& name, const std::string& program,
                      const std::string& folder) {
  if (name == "Default Visible") return "Yes";
  if (name == "ButtonText" || name == "MenuText") return "Snapgate!";
  if (name == "HotIcon") return folder + "\\snapgtactive.ico";
  if (name == "Icon") return folder + "\\snapgtoff.ico";
  // The browser's own class for buttons that run a program.
  if (name == "CLSID") return "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}";
  if (name == "Exec") return program;
  if (name == "MenuCustomize") return "tools";
  return "Opens the Snapgate! settings window.";
}

}  // namespace

void ToolbarIntegration(platform::Platform& platform, bool integrate, platform::DialogHost* owner) {
  RegistryStore store(platform.registry);
  const std::string program = platform.system.ModuleFileName();
  const std::string folder = program.substr(0, program.rfind('\\'));
  const std::string section = std::string(kExtensionsSection) + "\\" + kExtensionId;

  // A registration of another version's executable is pointed at this one.
  const std::string exec = store.ReadString(section, "Exec");
  if (!exec.empty() && AsciiUpper(exec).find("3.293.EXE") == std::string::npos) {
    store.WriteString(section, "Exec", program);
  }

  if (!integrate) {
    store.WriteString(kProgramSection, "m_bIntegrateIE", "0");
    store.DeleteKey(kExtensionsSection, kExtensionId);
    return;
  }
  if (!store.ReadString(section, "Default Visible").empty()) return;
  store.WriteString(kProgramSection, "m_bIntegrateIE", "1");
  for (const auto& value : kValues) {
    if (!store.WriteString(section, value.name, ValueText(value.name, program, folder))) {
      platform.dialogs.MessageBox(owner, value.failure, "Snapgate!", 0);
      return;
    }
  }
}

}  // namespace sg::browser
