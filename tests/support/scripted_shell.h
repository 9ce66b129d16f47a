#pragma once
// A shell without a desktop: choosers answer from queues, and what would have been opened is
// recorded. Tests use it directly, or behind the Qt shell's test hook.

#include <deque>
#include <functional>

#include "platform/shell.h"

namespace pw {

class ScriptedShell : public Shell {
  public:
    struct Request {
        enum Kind { Files, File, Folder } kind;
        Text title;
        Text filter;
        Text folder;  // initial or preselected folder
    };
    struct Opened {
        Text path;
        bool newWindow = false, asFolder = false, atParent = false;
        bool isAddress = false;
    };

    std::vector<Text> chooseFiles(const Text& title, const Text& filter,
                                  const Text& initialFolder) override;
    Text chooseFile(const Text& title, const Text& filter, const Text& initialFolder) override;
    Text chooseFolder(const Text& preselected, const Text& title) override;
    void openAddress(const Text& address) override;
    bool openInFileManager(const Text& path, FileManagerWindow window, ShowPathAs as,
                           ShowPathAt at) override;
    Text clipboardText() override { return clipboard; }

    // Answers for the next choosers; an empty queue answers as a cancel.
    std::deque<std::vector<Text>> fileAnswers;
    std::deque<Text> pathAnswers;    // chooseFile
    std::deque<Text> folderAnswers;  // chooseFolder
    // Runs when a chooser is shown, before it is answered.
    std::function<void(const Request&)> onRequest;

    Text clipboard;
    bool desktopOpens = true;  // what openInFileManager answers

    std::vector<Request> requests;
    std::vector<Opened> opened;
};

}  // namespace pw
