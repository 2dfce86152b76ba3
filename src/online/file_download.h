#pragma once

#include <string>

#include "online/http_request.h"
#include "platform/ports/platform.h"

namespace sg::online {

// Writes the body of an answered request to a local file in 1,024-byte blocks, telling the
// status window's text control how far it got. A web page where a file was expected ("<html>"
// in a block, in any letter case), an empty body, a body of more than 64 MiB, a failed write, a
// broken connection, an aborted request or fewer bytes than the server announced leave the
// local path as it was (no file, for a fresh path). True when the whole body is in the file.
bool DownloadToFile(platform::Platform& platform, HttpRequest& request,
                    const std::string& local_path, platform::DialogHost* status_window);

}  // namespace sg::online
