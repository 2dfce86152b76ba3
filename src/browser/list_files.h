#pragma once

#include <string>

#include "platform/ports/dialogs.h"
#include "platform/ports/files.h"

namespace sg::browser {

// Appends the entries of a list file to a list box: one entry per line, read as a text-mode
// stream reads it into a 100-byte buffer, so a line longer than 99 characters gives several
// entries. Empty lines are skipped; a file that cannot be opened gives nothing.
void LoadListFile(platform::FilePort& files, const std::string& file_name,
                  platform::DialogHost& list_dialog, int list_control);

// Writes the list box to the file, each entry followed by CR LF. The entries go to a new file
// beside the old one, which takes the old one's place only when complete; on failure the old
// file is left as it was. True when the new file is in place.
bool SaveListFile(platform::FilePort& files, const std::string& file_name,
                  platform::DialogHost& list_dialog, int list_control);

}  // namespace sg::browser
