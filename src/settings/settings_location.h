#pragma once
// Where the settings file lives: beside the program when its folder takes new files, else in
// the user's configuration folder.

#include "platform/files.h"

namespace pw {

struct ConfigFolders {
    Text xdgConfigHome;  // $XDG_CONFIG_HOME, may be empty
    Text home;           // $HOME
};

// The settings file's path; creates the configuration folder when it is the one chosen.
Text settingsFilePath(FileSystem& fs, const Text& programFolder, const ConfigFolders& config);

}  // namespace pw
