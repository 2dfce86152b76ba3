#pragma once

#include <string>

namespace sg::tools {

class ChangeRecorder;

// What the protection tools may do with the main dialog's record of what the program did: the
// blocked-windows list, the tray flash and the block sound. The tools count no blocks.
class ProtectionReport {
 public:
  virtual ~ProtectionReport() = default;
  virtual void AppendLine(const std::string& line) = 0;
  // Whether the list holds this whole line, letter case ignored.
  virtual bool HasLine(const std::string& line) = 0;
  virtual int LineCount() = 0;
  // Flashes the tray icon with the tools' icon, when the user wants flashes.
  virtual void Flash() = 0;
  // Plays the block sound, when the user wants sounds.
  virtual void PlaySound() = 0;
  // Where the changes made on the tools' own account are kept with their reasons; none when
  // the report is only the blocked list.
  virtual ChangeRecorder* history() { return nullptr; }
};

// Appends a line that must not repeat. While the list is short it is searched first and a line
// already there is not added again; a list of 2000 lines or more is no longer searched. True
// when the line was appended.
bool AppendUnlessListed(ProtectionReport& report, const std::string& line);

}  // namespace sg::tools
