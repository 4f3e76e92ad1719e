// Folders that belong to the user running the process.
#pragma once

#include <string>

namespace RecorderCore::UserFolders {

// Returns the user's home folder: $HOME when set and not empty, else the
// password database's entry, else "/".
std::string homeDirectory();

// Returns the user's Application Support folder, where apps keep their own
// data: ~/Library/Application Support on macOS; on other systems the XDG data
// folder, $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
// The folder is not created.
std::string applicationSupportDirectory();

}  // namespace RecorderCore::UserFolders
