// partwell: the desktop program.

#include <QApplication>
#include <cstdlib>

#include "app/qt/main_program.h"
#include "settings/settings_location.h"

namespace {

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Partwell");
    pw::applyApplicationLook(app);
    const pw::Text settingsPath = pw::settingsFilePath(
        pw::posixFileSystem(),
        pw::fromNativeName(QCoreApplication::applicationDirPath().toStdString()),
        {pw::fromNativeName(environment("XDG_CONFIG_HOME")),
         pw::fromNativeName(environment("HOME"))});
    pw::MainProgram program(settingsPath);
    program.window.show();
    app.exec();
    return 0;
}
