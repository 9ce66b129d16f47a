#include "platform/shell.h"

#include <algorithm>

#include "platform/files.h"

namespace pw {

FileManagerTarget fileManagerTarget(const Text& path, ShowPathAs as, ShowPathAt at) {
    const bool asFolder = as == ShowPathAs::Folder;
    const bool atParent = at == ShowPathAt::Parent;
    FileManagerTarget target{path};
    if (atParent) {
        const size_t sep = path.rfind(kPathSeparator);
        if (sep != Text::npos) target.path = path.substr(0, sep);
    }
    Text tail = target.path.size() >= 4 ? target.path.substr(target.path.size() - 4) : Text();
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    target.startProgram = asFolder && tail == ".exe";
    target.selectItem = !asFolder && !atParent && !target.startProgram;
    return target;
}

}  // namespace pw
