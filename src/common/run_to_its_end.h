#pragma once

#include "platform/ports/shell.h"

namespace sg {

// Starts a program through the shell and waits for it to end. True when the shell started it.
inline bool RunToItsEnd(platform::ShellPort& shell, platform::ShellExecuteRequest request) {
  request.keep_process_handle = true;
  const platform::ShellExecuteResult result = shell.Execute(request);
  if (result.process) {
    shell.WaitForProcess(result.process);
    shell.CloseProcessHandle(result.process);
  }
  return result.instance > 32;
}

}  // namespace sg
