#pragma once

#include "platform/ports/files.h"

namespace sg::online {

// True for a file that begins as a Windows executable does: "MZ", and "PE\0\0" at the offset
// that the DOS header keeps at 0x3C. Reads a file opened at its start, as far as the PE header's
// end. Says nothing of whether the rest of it is sound.
bool LooksLikeWindowsExecutable(platform::OpenFile& file);

}  // namespace sg::online
