#include <filesystem>
#include <random>

#include "split/split_whole_lines.h"
#include "support/split_fixture.h"
#include "text/encoding_stream.h"

namespace pw::test {
namespace {

using WholeLines = SplitFixture;

struct Format {
    int unit = 1;
    bool bigEndian = false;
    bool csv = false;
};

// The model: every record end of `data` (the offset after it), found with all of it in memory.
std::vector<int64_t> recordEnds(const std::string& data, Format f) {
    std::vector<int64_t> ends;
    bool quoted = false;
    const size_t step = size_t(f.unit);
    for (size_t i = 0; i + step <= data.size(); i += step) {
        const char low = f.unit == 2 && f.bigEndian ? data[i + 1] : data[i];
        const bool ascii = f.unit == 1 || data[f.bigEndian ? i : i + 1] == '\0';
        if (ascii && low == '"' && f.csv) quoted = !quoted;
        if (ascii && low == '\n' && !quoted) ends.push_back(int64_t(i + step));
    }
    return ends;
}

int64_t firstEndFrom(const std::vector<int64_t>& ends, int64_t from, int64_t length) {
    for (int64_t e : ends)
        if (e - 1 >= from) return e;
    return length;
}

// split -n l/N and split -C (a longer record a part of its own) over the model's ends.
std::vector<std::string> modelParts(const std::string& data, Format f, int64_t n, int64_t size,
                                    int header) {
    const auto ends = recordEnds(data, f);
    const int64_t length = int64_t(data.size());
    int64_t h = 0;
    for (int k = 0; k < header && h < length; ++k) h = firstEndFrom(ends, h, length);
    const std::string head = data.substr(0, size_t(h));
    std::vector<std::string> parts;
    const auto add = [&](int64_t from, int64_t to) {
        if (parts.empty())
            parts.push_back(data.substr(0, size_t(to)));
        else
            parts.push_back(from == to ? "" : head + data.substr(size_t(from), size_t(to - from)));
    };
    int64_t start = h;
    if (n > 0) {
        const int64_t chunk = std::max<int64_t>((length - h) / n, 1);
        for (int64_t j = 1; j <= n; ++j) {
            int64_t end = length;
            if (j < n) {
                const int64_t last = h + j * chunk - 1;
                end = j > 1 && last < start ? start
                                            : firstEndFrom(ends, std::max(last, start), length);
            }
            add(start, end);
            start = end;
        }
        return parts;
    }
    while (length > 0 && (start < length || parts.empty())) {
        int64_t end = start;
        for (int64_t e : ends)
            if (e > start && h + e - start <= size) end = e;
        if (h + length - start <= size) end = length;
        if (end == start) end = firstEndFrom(ends, start, length);
        add(start, end);
        start = end;
    }
    return parts;
}

std::string utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        // '~' stands for a character whose high byte is 0x0A, '^' for one with 0x22: neither a
        // line end nor a quote.
        const char low = c == '~' ? '\x41' : c == '^' ? '\x42' : c;
        const char high = c == '~' ? '\x0A' : c == '^' ? '\x22' : '\0';
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

std::string randomText(std::mt19937& rng, bool csv) {
    const std::string chars = csv ? "ab,\"\"\n\r~^" : "ab,\n\r~^";
    std::string s;
    const int length = int(rng() % 90);
    for (int i = 0; i < length; ++i) s += chars[rng() % chars.size()];
    return s;
}

// Every part against the model, over random CR LF, CSV and UTF-16 texts and buffers of 4 to 8
// bytes, so that line ends, quotes and two-byte characters straddle every buffer edge.
TEST_F(WholeLines, StreamedCutsMatchTheModelAtEveryBufferEdge) {
    std::mt19937 rng(7);
    int cases = 0;
    for (int round = 0; round < 30; ++round) {
        const bool csv = round % 2 == 1;
        const int kind = round / 2 % 3;  // bytes, UTF-16 LE, UTF-16 BE
        std::string data = randomText(rng, csv);
        Format f{kind == 0 ? 1 : 2, kind == 2, csv};
        if (kind > 0) data = utf16(data, kind == 2);
        writeFile(dir.path("t.csv"), data);
        options.set.csv = csv;
        for (size_t buffer = 4; buffer <= 8; ++buffer) {
            setTextBufferSize(buffer);
            for (int header : {0, 1, 2}) {
                options.set.headerLines = header;
                // --csv alone cuts whole records too.
                options.set.wholeLines = !(csv && round % 4 == 1);
                for (int n : {1, 3, 7}) {
                    byCount(std::to_string(n));
                    split({dir.path("t.csv")});
                    ASSERT_EQ(parts("t", "t", ".csv"), modelParts(data, f, n, 0, header))
                        << "round " << round << " buffer " << buffer << " n " << n;
                    std::filesystem::remove_all(dir.path("t"));
                    ++cases;
                }
                for (int size : {6, 13, 40}) {
                    bySize(std::to_string(size), 0);
                    const SplitSummary summary = split({dir.path("t.csv")});
                    const auto expected = modelParts(data, f, 0, size, header);
                    const auto got = parts("t", "t", ".csv");
                    ASSERT_EQ(got, expected)
                        << "round " << round << " buffer " << buffer << " size " << size;
                    size_t over = 0;
                    for (const auto& p : got) over += p.size() > size_t(size);
                    EXPECT_EQ(summary.oversizedParts.size(), over);
                    std::filesystem::remove_all(dir.path("t"));
                    ++cases;
                }
            }
        }
    }
    setTextBufferSize(0);
    EXPECT_GT(cases, 2000);
}

// The line mode's header: in every part, counted in none, a quoted line break no record end; a
// part's mark comes before it.
TEST_F(WholeLines, LineModeHeaderAndQuotedRecords) {
    writeFile(dir.path("t.csv"), "id,text\n1,\"a\nb\"\n2,\"c\"\"\n\"\n3,x\n4,y\n");
    byLines("2", "2");
    options.set.headerLines = 1;
    options.set.csv = true;
    split({dir.path("t.csv")});
    EXPECT_EQ(parts("t", "t", ".csv"),
              (std::vector<std::string>{"id,text\r\n1,\"a\r\nb\"\r\n2,\"c\"\"\r\n\"",
                                        "id,text\r\n3,x\r\n4,y"}));

    // Detected UTF-8: one mark in each part, before the header.
    writeFile(dir.path("u.csv"), "\xEF\xBB\xBFh\xC3\xA9\na\nb\n");
    byLines("1", "1");
    options.set.detectEncoding = true;
    split({dir.path("u.csv")});
    EXPECT_EQ(parts("u", "u", ".csv"), (std::vector<std::string>{"\xEF\xBB\xBFh\xC3\xA9\r\na",
                                                                 "\xEF\xBB\xBFh\xC3\xA9\r\nb"}));

    // Only a header: it is the one part.
    options.set.detectEncoding = false;
    writeFile(dir.path("h.csv"), "only\n");
    split({dir.path("h.csv")});
    EXPECT_EQ(parts("h", "h", ".csv"), (std::vector<std::string>{"only"}));
}

}  // namespace
}  // namespace pw::test
