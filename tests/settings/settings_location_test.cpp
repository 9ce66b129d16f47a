#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

TEST(SettingsLocation, BesideTheProgramWhenItsFolderTakesFilesElseInTheConfigFolder) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    const Text program = fromUtf8(dir.path("程序"));
    writeFile(dir.path("程序/partwell"), "");
    const Text home = fromUtf8(dir.path("home"));
    writeFile(dir.path("home/.profile"), "");
    EXPECT_EQ(toUtf8(settingsFilePath(fs, program, {"", home})), dir.path("程序/Partwell.ini"));
    EXPECT_EQ(listing(dir.path("程序")), "partwell");  // the probe leaves nothing behind

    // A program folder that refuses new files (here: a file stands in its place).
    const Text refusing = fromUtf8(dir.path("程序/partwell"));
    EXPECT_EQ(toUtf8(settingsFilePath(fs, refusing, {"", home})),
              dir.path("home/.config/Partwell/Partwell.ini"));
    EXPECT_TRUE(fs.isFolder(fromUtf8(dir.path("home/.config/Partwell"))));
    const Text xdg = fromUtf8(dir.path("xdg"));
    EXPECT_EQ(toUtf8(settingsFilePath(fs, refusing, {xdg, home})),
              dir.path("xdg/Partwell/Partwell.ini"));
    // A relative XDG_CONFIG_HOME does not count.
    EXPECT_EQ(toUtf8(settingsFilePath(fs, refusing, {"relative", home})),
              dir.path("home/.config/Partwell/Partwell.ini"));

    // An installed program's folder takes new files when root runs it, but is everyone's.
    writeFile(dir.path("usr/share/partwell/x"), "");
    writeFile(dir.path("usr/bin/partwell"), "");
    EXPECT_EQ(toUtf8(settingsFilePath(fs, fromUtf8(dir.path("usr/bin")), {"", home})),
              dir.path("home/.config/Partwell/Partwell.ini"));
    EXPECT_EQ(listing(dir.path("usr/bin")), "partwell");
}

}  // namespace
}  // namespace pw::test
