#pragma once
// The Shell port on the desktop: Qt file dialogs, and xdg-open through QDesktopServices.

#include <QString>

#include "platform/shell.h"

class QWidget;

namespace pw {

class QtShell : public Shell {
  public:
    explicit QtShell(QWidget* owner) : owner_(owner) {}

    std::vector<Text> chooseFiles(const Text& title, const Text& filter,
                                  const Text& initialFolder) override;
    Text chooseFile(const Text& title, const Text& filter, const Text& initialFolder) override;
    Text chooseFolder(const Text& preselected, const Text& title) override;
    void openAddress(const Text& address) override;
    bool openInFileManager(const Text& path, FileManagerWindow window, ShowPathAs as,
                           ShowPathAt at) override;
    Text clipboardText() override;

    // Test hook: while set, every request goes here instead of to the desktop.
    Shell* script = nullptr;

  private:
    QWidget* owner_;
};

// "TXT文档(*.txt)|*.txt|所有文件(*.*)|*.*" as a Qt name filter: "TXT文档 (*.txt);;所有文件 (*)".
QString qtNameFilter(const QString& filter);

}  // namespace pw
