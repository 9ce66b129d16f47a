#include "platform/charset.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <utility>

namespace pw {
namespace {

const iconv_t kInvalid = iconv_t(-1);

// iconv_open is costly next to converting a file name, so descriptors are kept per pair.
class DescriptorCache {
  public:
    ~DescriptorCache() {
        for (auto& [key, cd] : cache_)
            if (cd != kInvalid) iconv_close(cd);
    }
    iconv_t get(const char* from, const char* to) {
        auto key = std::make_pair(std::string(from), std::string(to));
        auto it = cache_.find(key);
        if (it == cache_.end()) it = cache_.emplace(key, iconv_open(to, from)).first;
        if (it->second != kInvalid) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }

  private:
    std::map<std::pair<std::string, std::string>, iconv_t> cache_;
};

DescriptorCache& descriptors() {
    thread_local DescriptorCache cache;
    return cache;
}

// Runs one conversion without any substitution; false on the first problem.
bool convertExactly(std::string_view input, const char* from, const char* to, std::string& out) {
    iconv_t cd = descriptors().get(from, to);
    if (cd == kInvalid) return false;
    out.assign(input.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* o = out.data();
    size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) return false;
    if (iconv(cd, nullptr, nullptr, &o, &outLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    return true;
}

size_t unitSize(std::string_view charset) {
    return charset.starts_with("UTF-16") ? 2 : charset.starts_with("UTF-32") ? 4 : 1;
}

}  // namespace

bool charsetKnown(const char* name) {
    return descriptors().get(name, "UTF-8") != kInvalid;
}

std::optional<std::string> convertCharset(std::string_view input, const char* from,
                                          const char* to) {
    iconv_t cd = descriptors().get(from, to);
    if (cd == kInvalid) return std::nullopt;

    std::string question, replacement;
    auto substitutes = [&] {
        if (!question.empty()) return;
        convertExactly("?", "UTF-8", to, question);
        if (!convertExactly("\xEF\xBF\xBD", "UTF-8", to, replacement)) replacement = question;
    };

    std::string out(input.size() + input.size() / 2 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    size_t used = 0;
    const size_t unit = unitSize(from);
    for (;;) {
        char* o = out.data() + used;
        size_t outLeft = out.size() - used;
        size_t r = inLeft ? iconv(cd, &in, &inLeft, &o, &outLeft)
                          : iconv(cd, nullptr, nullptr, &o, &outLeft);
        used = out.size() - outLeft;
        if (r != static_cast<size_t>(-1)) {
            if (inLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: either the source bytes are invalid, or the target lacks the character.
        // A character that decodes on its own is one the target cannot hold.
        substitutes();
        std::string probe;
        size_t charLength = 0;
        for (size_t n = unit; n <= 4 * unit && n <= inLeft; n += unit) {
            if (convertExactly(std::string_view(in, n), from, "UTF-32LE", probe) &&
                probe.size() == 4) {
                charLength = n;
                break;
            }
        }
        const std::string& sub = charLength ? question : replacement;
        size_t skip = charLength ? charLength : std::min(unit, inLeft);
        if (out.size() - used < sub.size()) out.resize(out.size() * 2 + sub.size());
        out.replace(used, sub.size(), sub);
        used += sub.size();
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

}  // namespace pw
