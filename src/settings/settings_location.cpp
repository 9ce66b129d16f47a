#include "settings/settings_location.h"

#include "files/path_ops.h"
#include "text/system_texts.h"

namespace pw {
namespace {

Text inFolder(const Text& folder, std::string_view name) {
    return folder + kPathSeparator + lit(name);
}

// Tried by creating a file there, as the first save will.
bool takesNewFiles(FileSystem& fs, const Text& folder) {
    SafeWriter probe(fs, inFolder(folder, texts::kSettingsFileName));
    return probe.ok();  // the probe file goes when the writer does
}

// A program in a "bin" folder with "share" beside it was installed (/usr, /usr/local, ~/.local):
// its folder is shared by every user, even when the one running it (root) may write there.
bool installed(FileSystem& fs, const Text& folder) {
    return fileNameOf(folder) == "bin" && fs.isFolder(folderOf(folder) + kPathSeparator + "share");
}

}  // namespace

Text settingsFilePath(FileSystem& fs, const Text& programFolder, const ConfigFolders& config) {
    if (!programFolder.empty() && !installed(fs, programFolder) && takesNewFiles(fs, programFolder))
        return inFolder(programFolder, texts::kSettingsFileName);
    // Relative values of XDG_CONFIG_HOME are to be ignored.
    const Text base = config.xdgConfigHome.starts_with(kPathSeparator)
                          ? config.xdgConfigHome
                          : config.home + kPathSeparator + ".config";
    const Text folder = base + kPathSeparator + "Partwell";
    if (!fs.isFolder(base)) (void)fs.createFolder(base);
    if (!fs.isFolder(folder)) (void)fs.createFolder(folder);
    return inFolder(folder, texts::kSettingsFileName);
}

}  // namespace pw
