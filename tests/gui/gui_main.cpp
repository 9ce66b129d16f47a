// The GUI tests run the real window on Qt's offscreen platform unless told otherwise.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <string>

#include "app/qt/main_program.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps the file dialog's history in the user's configuration and makes a runtime folder
    // in the temporary folder: both go into a folder of this run, removed at its end.
    pw::test::TempDir home;
    const std::string runtime = home.path("runtime");
    ::mkdir(runtime.c_str(), 0700);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path("config")));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    ::testing::InitGoogleTest(&argc, argv);
    int status;
    {
        QApplication app(argc, argv);
        pw::applyApplicationLook(app);
        status = RUN_ALL_TESTS();
    }
    return status;
}
