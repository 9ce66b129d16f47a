// Wildcard matching against a model that cannot blow up: dynamic programming over characters.
// The name is also tried stretched to a few hundred bytes, where a matcher that backtracks
// without bound takes far more processor time than a linear one ever needs.
// Input: pattern, NUL, name.

#include <time.h>

#include <vector>

#include "files/folder_lister.h"
#include "fuzz_support.h"
#include "text/chars.h"

namespace {

using namespace pw;

std::vector<std::string_view> charsOf(std::string_view s) {
    std::vector<std::string_view> chars;
    for (size_t pos = 0; pos < s.size();) {
        const size_t len = charLengthAt(s, pos);
        chars.push_back(s.substr(pos, len));
        pos += len;
    }
    return chars;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Case is ignored for ASCII letters only, never for a byte inside a double-byte character.
bool sameChar(std::string_view a, std::string_view b) {
    if (a.size() == 1 && b.size() == 1) return lower(a[0]) == lower(b[0]);
    return a == b;
}

bool modelMatch(std::string_view pattern, std::string_view name) {
    const auto p = charsOf(pattern), n = charsOf(name);
    // reach[j]: the pattern so far matches the name's first j characters.
    std::vector<char> reach(n.size() + 1, 0), next(n.size() + 1);
    reach[0] = 1;
    for (std::string_view pc : p) {
        next.assign(n.size() + 1, 0);
        if (pc == "*") {
            char any = 0;
            for (size_t j = 0; j <= n.size(); ++j) next[j] = any = char(any | reach[j]);
        } else {
            for (size_t j = 1; j <= n.size(); ++j)
                next[j] = reach[j - 1] && (pc == "?" || sameChar(pc, n[j - 1]));
        }
        reach.swap(next);
    }
    return reach[n.size()];
}

bool hasDot(std::string_view name) {
    for (std::string_view c : charsOf(name))
        if (c == ".") return true;
    return false;
}

bool modelWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*") return true;
    // A final "." stands for the end of a name without extension.
    if (pattern.ends_with('.') && !hasDot(name))
        return modelMatch(pattern.substr(0, pattern.size() - 1), name);
    // "x.*" also takes "x".
    if (pattern.size() >= 2 && pattern.ends_with(".*") &&
        modelMatch(pattern.substr(0, pattern.size() - 2), name))
        return true;
    return modelMatch(pattern, name);
}

// Processor time, not wall time: a loaded machine stalls the process but does not bill it.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void check(std::string_view pattern, std::string_view name, bool timed) {
    const double start = cpuSeconds();
    const bool got = wildcardMatch(pattern, name);
    const double spent = cpuSeconds() - start;
    // With a pattern of at most 64 bytes, a linear matcher needs microseconds.
    FUZZ_EXPECT(!timed || spent < 0.2, {"pattern", pattern}, {"name", name},
                {"seconds", std::to_string(spent)});
    FUZZ_EXPECT(got == modelWildcard(pattern, name), {"pattern", pattern}, {"name", name},
                {"matched", got ? "yes" : "no"});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields fields(data, size);
    const std::string_view pattern = fields.next();
    const std::string_view name = fields.next();
    check(pattern, name, false);
    if (!name.empty() && pattern.size() <= 64) {
        std::string stretched(name);
        while (stretched.size() < 512) stretched += name;
        check(pattern, stretched, true);
    }
    return 0;
}
