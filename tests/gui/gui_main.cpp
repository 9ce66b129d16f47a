// The GUI tests run the real window on Qt's offscreen platform unless told otherwise.

#include <gtest/gtest.h>

#include <QApplication>

#include "app/qt/main_program.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    pw::applyApplicationLook(app);
    return RUN_ALL_TESTS();
}
