#include "settings/settings_format.h"

#include <string>

namespace pw::settings_format {

bool headerLineBetween(std::string_view text, size_t from, size_t to) {
    for (size_t at = text.find("\r\n[", from); at != std::string_view::npos && at < to;
         at = text.find("\r\n[", at + 1)) {
        const size_t end = text.find(kLineBreak, at + 2);
        if (end != std::string_view::npos && end >= at + 4 && text[end - 1] == ']') return true;
    }
    return false;
}

size_t findValue(std::string_view text, size_t bodyStart, std::string_view key) {
    std::string needle;
    needle.reserve(key.size() + 3);
    needle.append(kLineBreak).append(key).push_back('=');
    const size_t found = text.find(needle, bodyStart);
    if (found == std::string_view::npos || headerLineBetween(text, bodyStart, found))
        return std::string_view::npos;
    return found + needle.size();
}

size_t valueEnd(std::string_view text, size_t valueStart) {
    const size_t end = text.find(kLineBreak, valueStart);
    return end == std::string_view::npos ? text.size() : end;
}

}  // namespace pw::settings_format
