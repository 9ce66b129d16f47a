// partwell: the desktop program.

#include <QApplication>

#include "app/qt/main_program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Partwell");
    pw::applyApplicationLook(app);
    pw::MainProgram program;
    program.window.show();
    app.exec();
    return 0;
}
