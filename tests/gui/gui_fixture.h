#pragma once
// The real program's window on the offscreen platform, with message boxes and choosers answered
// by the adapters' test hooks.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "app/qt/main_program.h"
#include "support/scripted_shell.h"
#include "support/temp_dir.h"

namespace pw::test {

// Runs `answer` on the modal dialog once it is up.
template <class Dialog, class F>
void whenShown(F answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

class GuiTest : public ::testing::Test {
  protected:
    GuiTest() {
        program.form.messageScript = &boxes;
        program.shell.script = &shell;
        program.form.pumpAtNextEventPoint();
    }

    // Found the way any Qt code would: by objectName.
    template <class T = QWidget>
    T* widget(std::string_view name) {
        T* w = program.window.findChild<T*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string text(std::string_view name) { return toUtf8(program.form.text(name)); }

    MainProgram program;
    MessageQueue boxes;
    ScriptedShell shell;
    TempDir dir;
};

}  // namespace pw::test
