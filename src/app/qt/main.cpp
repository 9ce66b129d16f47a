// partwell: the desktop program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/qt/main_program.h"
#include "platform/allocator.h"
#include "platform/native_names.h"
#include "settings/settings_location.h"
#include "text/system_texts.h"

namespace {

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it works without a display.
    for (const auto& [option, text] : {std::pair{"--version", pw::texts::kProgramVersion},
                                       std::pair{"--help", pw::texts::kProgramUsage}}) {
        if (argc > 1 && std::string_view(argv[1]) == option) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            return 0;
        }
    }
    pw::reuseFreedBuffers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Partwell");
    QApplication::setApplicationVersion(PARTWELL_VERSION);
    QApplication::setDesktopFileName(PARTWELL_APP_ID);
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
