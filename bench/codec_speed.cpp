// The table-driven codec against iconv on the same 64 MiB in the same run, CPU time (steadier
// than elapsed time on a busy machine), the better of three rounds each: whole conversions into a
// new string through the charset adapter (the codec, and the iconv path it replaced), and the
// converters alone streaming through one reused buffer (the codec, and iconv(3)).
// Built and run by bench/detect.sh.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "codec/codec.h"
#include "platform/charset.h"
#include "platform/charset_reference.h"

namespace {

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <typename Convert>
double best(Convert convert) {
    double fastest = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double start = cpuSeconds();
        convert();
        fastest = std::min(fastest, cpuSeconds() - start);
    }
    return fastest;
}

void compare(const char* label, const std::string& input, const char* from, const char* to) {
    const double ours = best([&] { (void)pw::convertCharset(input, from, to); });
    const double theirs = best([&] { (void)pw::convertCharsetByIconv(input, from, to); });
    std::printf("codec %-30s %6.0f MB/s   iconv %6.0f MB/s   ratio %.2f\n", label,
                double(input.size()) / ours / 1e6, double(input.size()) / theirs / 1e6,
                ours / theirs);
}

// iconv(3) through a reused buffer, input without errors.
void iconvStreaming(const std::string& input, const char* from, const char* to) {
    static char buffer[256 * 1024];
    iconv_t cd = iconv_open(to, from);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1) && errno != E2BIG) break;
    }
    iconv_close(cd);
}

void compareStreaming(const char* label, const std::string& input, const char* from,
                      const char* to) {
    const auto source = *pw::codec::charsetNamed(from), target = *pw::codec::charsetNamed(to);
    size_t total = 0;
    const double ours = best([&] {
        pw::codec::convert(input, source, target,
                           [&](std::string_view piece, size_t) { total += piece.size(); });
    });
    const double theirs = best([&] { iconvStreaming(input, from, to); });
    std::printf("streaming %-26s %6.0f MB/s   iconv %6.0f MB/s   ratio %.2f\n", label,
                double(input.size()) / ours / 1e6, double(input.size()) / theirs / 1e6,
                ours / theirs);
}

}  // namespace

int main() {
    const std::string line =
        "第一章 开始。他说：“你好，世界！” The year was 2024; 天气很好，我们去了公园 (park) "
        "散步。\n";
    std::string utf8;
    while (utf8.size() < (size_t(64) << 20)) utf8 += line;
    const std::string gb = *pw::convertCharset(utf8, "UTF-8", "GB18030");
    const std::string utf16 = *pw::convertCharset(utf8, "UTF-8", "UTF-16LE");
    compare("UTF-8 to GB18030", utf8, "UTF-8", "GB18030");
    compare("GB18030 to UTF-8", gb, "GB18030", "UTF-8");
    compare("UTF-16LE to GB18030", utf16, "UTF-16LE", "GB18030");
    // Simplified Chinese that Big5 mostly lacks: nearly every character becomes "?".
    compare("GB18030 to Big5 (mostly \"?\")", gb.substr(0, 8 << 20), "GB18030", "BIG5");
    compareStreaming("UTF-8 to GB18030", utf8, "UTF-8", "GB18030");
    compareStreaming("GB18030 to UTF-8", gb, "GB18030", "UTF-8");
    compareStreaming("UTF-16LE to GB18030", utf16, "UTF-16LE", "GB18030");
    return 0;
}
