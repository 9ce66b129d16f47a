#pragma once
// The Shell port: file and folder choosers, and handing addresses and folders to the desktop.
// Titles, filters and paths are code-page text.

#include <vector>

#include "platform/text_bytes.h"

namespace pw {

// How the file manager shows a path: in a window of its own or not, the path as a folder to
// open or as an item to select, and the path itself or the folder holding it.
enum class FileManagerWindow { Reuse, New };
enum class ShowPathAs { Item, Folder };
enum class ShowPathAt { Path, Parent };

class Shell {
  public:
    virtual ~Shell() = default;

    // Filters are pairs of a description and patterns, all separated by "|":
    // "TXT文档(*.txt)|*.txt|所有文件(*.*)|*.*". The first pair is selected at the start.

    // Full paths of the chosen files; nothing on cancel. An empty initial folder leaves the
    // choice to the chooser.
    virtual std::vector<Text> chooseFiles(const Text& title, const Text& filter,
                                          const Text& initialFolder) = 0;
    // The chosen path, or empty text.
    virtual Text chooseFile(const Text& title, const Text& filter, const Text& initialFolder) = 0;
    // The chosen folder, or empty text.
    virtual Text chooseFolder(const Text& preselected, const Text& title) = 0;

    // Opens a web address; failures are not reported.
    virtual void openAddress(const Text& address) = 0;
    // Shows a path in the file manager; false when the desktop has no program that could.
    virtual bool openInFileManager(const Text& path, FileManagerWindow window, ShowPathAs as,
                                   ShowPathAt at) = 0;

    // The clipboard's text with CR LF line breaks; empty when it holds no text.
    virtual Text clipboardText() = 0;
};

// What openInFileManager does with its arguments.
struct FileManagerTarget {
    Text path;
    bool startProgram = false;  // run the path itself instead of showing a folder
    bool selectItem = false;    // show the folder holding the path, the path selected
};
FileManagerTarget fileManagerTarget(const Text& path, ShowPathAs as, ShowPathAt at);

}  // namespace pw
