#include "app/qt/drop_target.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "app/qt/control_looks.h"
#include "text/os_name.h"

namespace pw {
namespace {

// The dropped path with its native name's bytes (an address carries them percent-encoded, also
// those of a name that is no UTF-8); empty for anything but a local file.
Text localPath(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    Text path = fromQtUrl(url);
    // Some file managers end a folder's address with a slash; a path never does.
    while (path.size() > 1 && path.ends_with('/')) path.pop_back();
    return path;
}

// A drop is taken as a copy (or a link): were it taken as a move, the file manager would delete
// what was dropped.
Qt::DropAction harmlessAction(Qt::DropActions possible) {
    if (possible & Qt::CopyAction) return Qt::CopyAction;
    if (possible & Qt::LinkAction) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// Answers a drag of local paths: accepted as a copy when the source allows one, else refused.
void answerDrag(QDropEvent& event) {
    const Qt::DropAction action = harmlessAction(event.possibleActions());
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return;
    }
    event.setDropAction(action);
    event.accept();
}

// Systems after Windows XP filter the drop messages of a less privileged file manager; a desktop
// without that filter has nothing to let through.
void allowDropsFromLowerPrivilege() {}

}  // namespace

std::vector<Text> droppedPaths(const QMimeData& data) {
    std::vector<Text> paths;
    for (const QUrl& url : data.urls()) paths.push_back(localPath(url));
    return paths;
}

bool carriesLocalPaths(const QMimeData& data) {
    for (const QUrl& url : data.urls())
        if (!localPath(url).empty()) return true;
    return false;
}

void DropTarget::registerWindow(QWidget* window, DropCallback callback) {
    const bool acceptedBefore = window->acceptDrops();
    window->setAcceptDrops(true);
    if (!registry_.find(window)) {
        auto* filter = new DropFilter(registry_, window);
        window->installEventFilter(filter);
        // Edit boxes take drops of their own; inside an area, files go to the area instead.
        for (QWidget* inner : window->findChildren<QWidget*>()) inner->installEventFilter(filter);
        registry_.add({window, std::move(callback), acceptedBefore});
    }
    if (!systemIsWindowsXp()) allowDropsFromLowerPrivilege();
}

int DropTarget::unregisterWindow(QWidget* window) {
    const auto record = registry_.remove(window);
    if (!record) return 0;
    // The filter leaves every widget it watched when it goes.
    delete window->findChild<DropFilter*>(QString(), Qt::FindDirectChildrenOnly);
    window->setAcceptDrops(record->savedAcceptDrops);
    return 1;
}

DropFilter::DropFilter(DropRegistry& registry, QWidget* area)
    : QObject(area), registry_(registry), area_(area) {}

bool DropFilter::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto& drag = static_cast<QDropEvent&>(*event);
    // Other drags (text from an editor) are left to whoever is under the cursor.
    if (!drag.mimeData() || !carriesLocalPaths(*drag.mimeData())) return false;
    answerDrag(drag);
    if (type == QEvent::Drop && drag.isAccepted()) {
        // Handed over once the drop has ended, so the file manager is not kept waiting while a
        // question is open or a job runs.
        QMetaObject::invokeMethod(
            this,
            [this, paths = droppedPaths(*drag.mimeData())] {
                registry_.deliver(static_cast<const QWidget*>(area_), paths);
            },
            Qt::QueuedConnection);
    }
    return true;
}

}  // namespace pw
