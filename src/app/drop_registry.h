#pragma once
// The process-wide record of the windows that take dropped files and folders, and the delivery of
// one drop to the callback of the window it landed on. The window system's side (accepting the
// drag, reading the dropped paths) is the drop target's in the Qt layer.

#include <functional>
#include <optional>
#include <vector>

#include "text/codepage.h"

namespace pw {

// Called once per dropped path: the number of paths in the drop, this path's index from 1, the
// path and its extension (dropExtension).
using DropCallback =
    std::function<void(int count, int index, const Text& path, const Text& extension)>;

// A window as the registry knows it; the Qt layer passes its widget.
using DropWindow = const void*;

struct DropRegistration {
    DropWindow window = nullptr;
    DropCallback callback;
    bool savedAcceptDrops = false;  // whether the window took drops before it was registered
};

class DropRegistry {
  public:
    // The first record of the window, or nullptr.
    const DropRegistration* find(DropWindow window) const;
    // False, and nothing changes, when the window has a record already: it keeps its first one.
    bool add(DropRegistration registration);
    // The removed record; nothing when the window had none.
    std::optional<DropRegistration> remove(DropWindow window);

    // One drop onto `window`: its callback runs for each path in order, with the count and
    // indexes of the whole drop; an empty path (nothing the window system could name) is passed
    // over. 1 when the window has no record, else 0.
    int deliver(DropWindow window, const std::vector<Text>& paths);
    // Drops delivered so far; tells a callback whether a path belongs to a new drop when the
    // drop's first path was passed over.
    unsigned drops() const { return drops_; }

  private:
    std::vector<DropRegistration> records_;
    unsigned drops_ = 0;
};

// What follows the last "." of the whole path; the whole path when it has none.
Text dropExtension(const Text& path);

}  // namespace pw
