#include "app/drop_registry.h"

#include <algorithm>

namespace pw {
namespace {

auto of(DropWindow window) {
    return [window](const DropRegistration& r) { return r.window == window; };
}

}  // namespace

const DropRegistration* DropRegistry::find(DropWindow window) const {
    auto it = std::find_if(records_.begin(), records_.end(), of(window));
    return it == records_.end() ? nullptr : &*it;
}

bool DropRegistry::add(DropRegistration registration) {
    if (find(registration.window)) return false;
    records_.push_back(std::move(registration));
    return true;
}

std::optional<DropRegistration> DropRegistry::remove(DropWindow window) {
    auto it = std::find_if(records_.begin(), records_.end(), of(window));
    if (it == records_.end()) return std::nullopt;
    DropRegistration removed = std::move(*it);
    records_.erase(it);
    return removed;
}

int DropRegistry::deliver(DropWindow window, const std::vector<Text>& paths) {
    const DropRegistration* record = find(window);
    if (!record) return 1;
    ++drops_;
    // A copy: the callback runs whole jobs, and the registry may change meanwhile.
    const DropCallback callback = record->callback;
    const int count = static_cast<int>(paths.size());
    for (int i = 1; i <= count; ++i) {
        const Text& path = paths[i - 1];
        if (path.empty()) continue;
        callback(count, i, path, dropExtension(path));
    }
    return 0;
}

Text dropExtension(const Text& path) {
    // "." is never part of a double-byte character, so a byte search finds the real one.
    const auto dot = path.rfind('.');
    return dot == Text::npos ? path : path.substr(dot + 1);
}

}  // namespace pw
