// partwell: the desktop program.

#include <QApplication>
#include <cstdio>
#include <string_view>

#include "app/qt/main_program.h"
#include "text/system_texts.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it works without a display.
    if (argc > 1 && std::string_view(argv[1]) == "--version") {
        std::fwrite(pw::texts::kProgramVersion.data(), 1, pw::texts::kProgramVersion.size(),
                    stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Partwell");
    QApplication::setApplicationVersion(PARTWELL_VERSION);
    QApplication::setDesktopFileName(PARTWELL_APP_ID);
    pw::applyApplicationLook(app);
    pw::MainProgram program;
    program.window.show();
    app.exec();
    return 0;
}
