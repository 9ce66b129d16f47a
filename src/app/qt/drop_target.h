#pragma once
// Makes a widget a place to drop files and folders from the file manager: an event filter on it
// and on everything inside it takes drags of local files, and each drop goes to the callback
// kept for the widget in the process-wide drop registry.

#include <QObject>
#include <vector>

#include "app/drop_registry.h"

class QMimeData;
class QWidget;

namespace pw {

class DropTarget {
  public:
    explicit DropTarget(DropRegistry& registry) : registry_(registry) {}
    virtual ~DropTarget() = default;

    // A widget registered before keeps its first callback.
    virtual void registerWindow(QWidget* window, DropCallback callback);
    // 1 when the widget had a registration, which is now undone; else 0.
    virtual int unregisterWindow(QWidget* window);

  private:
    DropRegistry& registry_;
};

// Lives as a child of a registered widget for as long as the registration.
class DropFilter : public QObject {
    Q_OBJECT
  public:
    DropFilter(DropRegistry& registry, QWidget* area);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    DropRegistry& registry_;
    QWidget* area_;
};

// The dropped items as code-page paths, in the drop's order; an item that is not a local file
// or folder gives an empty path.
std::vector<Text> droppedPaths(const QMimeData& data);
// True when the data names at least one local file or folder.
bool carriesLocalPaths(const QMimeData& data);

}  // namespace pw
