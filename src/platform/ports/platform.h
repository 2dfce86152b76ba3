#pragma once

#include "platform/ports/browsers.h"
#include "platform/ports/crypto.h"
#include "platform/ports/dialogs.h"
#include "platform/ports/files.h"
#include "platform/ports/hook_library.h"
#include "platform/ports/internet.h"
#include "platform/ports/processes.h"
#include "platform/ports/profile.h"
#include "platform/ports/registry.h"
#include "platform/ports/resources.h"
#include "platform/ports/shell.h"
#include "platform/ports/system.h"
#include "platform/ports/tray.h"
#include "platform/ports/url_cache.h"
#include "platform/ports/windows.h"

namespace sg::platform {

// The system as the program sees it; handed to the objects that need it.
struct Platform {
  RegistryPort& registry;
  FilePort& files;
  ResourcePort& resources;
  ShellPort& shell;
  WindowsPort& windows;
  SystemPort& system;
  DialogsPort& dialogs;
  TrayPort& tray;
  ProcessesPort& processes;
  HookLibraryPort& hooks;
  BrowsersPort& browsers;
  UrlCachePort& url_cache;
  ProfilePort& profile;
  CryptoPort& crypto;
  InternetPort& internet;
};

}  // namespace sg::platform
