#include "support/scripted_shell.h"

namespace pw {
namespace {

template <class T>
T next(std::deque<T>& queue) {
    if (queue.empty()) return T();
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

std::vector<Text> ScriptedShell::chooseFiles(const Text& title, const Text& filter,
                                             const Text& initialFolder) {
    requests.push_back({Request::Files, title, filter, initialFolder});
    if (onRequest) onRequest(requests.back());
    return next(fileAnswers);
}

Text ScriptedShell::chooseFile(const Text& title, const Text& filter, const Text& initialFolder) {
    requests.push_back({Request::File, title, filter, initialFolder});
    if (onRequest) onRequest(requests.back());
    return next(pathAnswers);
}

Text ScriptedShell::chooseFolder(const Text& preselected, const Text& title) {
    requests.push_back({Request::Folder, title, {}, preselected});
    if (onRequest) onRequest(requests.back());
    return next(folderAnswers);
}

void ScriptedShell::openAddress(const Text& address) {
    opened.push_back({address, false, false, false, true});
}

bool ScriptedShell::openInFileManager(const Text& path, FileManagerWindow window, ShowPathAs as,
                                      ShowPathAt at) {
    opened.push_back({path, window == FileManagerWindow::New, as == ShowPathAs::Folder,
                      at == ShowPathAt::Parent, false});
    return desktopOpens;
}

}  // namespace pw
