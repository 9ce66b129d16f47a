#include "app/qt/qt_shell.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include "app/qt/control_looks.h"
#include "files/path_ops.h"

namespace pw {
namespace {

// Dialogs must not leave the process in the folder the user browsed to.
class KeepCurrentFolder {
  public:
    KeepCurrentFolder() : saved_(QDir::currentPath()) {}
    ~KeepCurrentFolder() { QDir::setCurrent(saved_); }

  private:
    QString saved_;
};

// Before anything was chosen, the home folder: the process's own folder is wherever the program
// was started from, often a source tree.
QString startFolder(const Text& folder) {
    return folder.empty() ? QDir::homePath() : qtPath(folder);
}

}  // namespace

QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // The description repeats the patterns in brackets; Qt wants its own form of them.
        description.remove(QRegularExpression("\\s*\\([^()]*\\)\\s*$"));
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == "*.*") p = "*";  // every name, with or without a dot
        }
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

std::vector<Text> QtShell::chooseFiles(const Text& title, const Text& filter,
                                       const Text& initialFolder) {
    if (script) return script->chooseFiles(title, filter, initialFolder);
    KeepCurrentFolder keep;
    const QString start = startFolder(initialFolder);
    const QStringList names =
        QFileDialog::getOpenFileNames(owner_, qt(title), start, qtNameFilter(qt(filter)));
    std::vector<Text> paths;
    for (const QString& n : names) paths.push_back(fromQtPath(QDir::toNativeSeparators(n)));
    return paths;
}

Text QtShell::chooseFile(const Text& title, const Text& filter, const Text& initialFolder) {
    if (script) return script->chooseFile(title, filter, initialFolder);
    KeepCurrentFolder keep;
    return fromQtPath(QFileDialog::getOpenFileName(owner_, qt(title), startFolder(initialFolder),
                                                   qtNameFilter(qt(filter))));
}

Text QtShell::chooseFolder(const Text& preselected, const Text& title) {
    if (script) return script->chooseFolder(preselected, title);
    KeepCurrentFolder keep;
    return fromQtPath(QFileDialog::getExistingDirectory(
        nullptr, qt(title), startFolder(preselected), QFileDialog::ShowDirsOnly));
}

void QtShell::openAddress(const Text& address) {
    if (script) return script->openAddress(address);
    QDesktopServices::openUrl(QUrl(qt(address)));
}

bool QtShell::openInFileManager(const Text& path, FileManagerWindow window, ShowPathAs as,
                                ShowPathAt at) {
    if (script) return script->openInFileManager(path, window, as, at);
    const FileManagerTarget target = fileManagerTarget(path, as, at);
    if (target.startProgram) return QProcess::startDetached(qtPath(target.path), {});
    // File managers opened by address cannot select an item: show the folder that holds it.
    const Text folder = target.selectItem ? folderOf(target.path) : target.path;
    // Qt hands a folder to xdg-open and answers false when there is none.
    return QDesktopServices::openUrl(qtFileUrl(folder));
}

}  // namespace pw

namespace pw {

Text QtShell::clipboardText() {
    if (script) return script->clipboardText();
    return multiLineFromQt(QGuiApplication::clipboard()->text());
}

}  // namespace pw
