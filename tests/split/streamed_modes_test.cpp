// The text modes read their source through a small buffer; their parts must be what splitting the
// whole text in memory gives.

#include <cstring>
#include <filesystem>
#include <random>

#include "platform/regex.h"
#include "split/chapter_plan.h"
#include "split/split_by_chars.h"
#include "split/split_by_delimiter.h"
#include "support/split_fixture.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"
#include "text/encoding_stream.h"

namespace pw::test {
namespace {

struct BufferSize {
    explicit BufferSize(size_t bytes) { setTextBufferSize(bytes); }
    ~BufferSize() { setTextBufferSize(0); }
};

// The delimiter scan as it ran over the whole text in memory: the reference for the pieces.
std::vector<std::string> wholeTextPieces(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    std::vector<size_t> border(delimiter.size(), 0);
    for (size_t i = 1, k = 0; i < delimiter.size(); ++i) {
        while (k > 0 && delimiter[i] != delimiter[k]) k = border[k - 1];
        if (delimiter[i] == delimiter[k]) ++k;
        border[i] = k;
    }
    const size_t m = delimiter.size();
    size_t pieceStart = 0, boundary = 0, matched = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        while (matched > 0 && text[i] != delimiter[matched]) matched = border[matched - 1];
        if (text[i] == delimiter[matched]) ++matched;
        if (matched < m) continue;
        const size_t start = i + 1 - m;
        while (boundary < start)
            boundary += text[boundary] == '\r' ? 1 : charLengthAt(text, boundary);
        if (boundary == start) {
            pieces.emplace_back(text.substr(pieceStart, start - pieceStart));
            pieceStart = boundary = i + 1;
            matched = 0;
        } else {
            matched = border[m - 1];
        }
    }
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

std::string randomText(std::mt19937& gen, size_t pieces) {
    static const std::vector<std::string> kPieces = {
        "a", "7",  "\r",    "\n",   "\r\n", "\xB0\xA1", "\xD6\xD0", "\xCE\xC4", "\x81\x30\x81\x30",
        "|", "||", "\xA1|", "\x1A", " ",    "\t",       "\xA1\xA1"};
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
    std::string out;
    for (size_t i = 0; i < pieces; ++i) out += kPieces[pick(gen)];
    return out;
}

TEST(DelimiterSplitter, TextFedInPiecesSplitsAsTheWholeText) {
    std::mt19937 gen(11);
    const std::vector<std::string> delimiters = {"|",
                                                 "||",
                                                 "\r\n",
                                                 "\n",
                                                 "\xD0\xCE",
                                                 "\xCE",
                                                 "\xA1|",
                                                 "\x30\x81",
                                                 "a7",
                                                 "\x81\x30"
                                                 "a"};
    for (int round = 0; round < 300; ++round) {
        const std::string text = randomText(gen, size_t(round % 80));
        // Pieces as a source hands them out: each ends where a character ends.
        std::vector<std::string> fed;
        {
            BufferSize buffer(1 + size_t(round % 7));
            auto source = TextSource::open(makeMemoryFile(text));
            for (std::string_view p; !(p = source->next()).empty();) fed.emplace_back(p);
        }
        // Keeping the text, the pieces themselves; without it, their places in the text.
        for (const std::string& delimiter : delimiters) {
            for (const PieceText keep : {PieceText::Kept, PieceText::Passed, PieceText::None}) {
                DelimiterSplitter splitter(delimiter, false, keep);
                std::vector<std::string> got;
                std::string passed;  // what the splitter handed on of the piece being found
                std::string_view piece;
                const auto add = [&] {
                    const DelimiterSplitter::Range r = splitter.lastRange();
                    got.emplace_back(keep == PieceText::None ? text.substr(r.from, r.to - r.from)
                                                             : passed + std::string(piece));
                    passed.clear();
                };
                for (const std::string& f : fed) {
                    if (keep == PieceText::Passed) passed += splitter.passed();
                    splitter.feed(f);
                    while (splitter.take(piece)) add();
                }
                if (keep == PieceText::Passed) passed += splitter.passed();
                splitter.feed({});
                if (splitter.takeLast(piece)) add();
                ASSERT_EQ(got, wholeTextPieces(text, delimiter))
                    << testing::PrintToString(text) << " at " << testing::PrintToString(delimiter)
                    << " keeping " << int(keep);
            }
        }
    }
}

// The chapters a plan found, each as one line of text.
std::vector<std::string> planned(const std::vector<ChapterEntry>& chapters) {
    std::vector<std::string> out;
    for (const ChapterEntry& c : chapters)
        out.push_back(std::to_string(c.offset) + "+" + std::to_string(c.bytes) + "/" +
                      std::to_string(c.chars) + " " + c.heading + " " +
                      (c.mark ? std::to_string(c.mark->number) : "-"));
    return out;
}
std::vector<std::string> planned(const ChapterPlanner& planner) {
    return planned(planner.chapters());
}

// The same chapters with the offsets and sizes of the text's UTF-8 form.
std::vector<ChapterEntry> inUtf8(std::vector<ChapterEntry> chapters, std::string_view text) {
    size_t offset = 0;
    for (ChapterEntry& c : chapters) {
        const size_t bytes = toUtf8(text.substr(c.offset, c.bytes)).size();
        c.offset = offset;
        c.bytes = bytes;
        offset += bytes;
    }
    return chapters;
}

TEST(ChapterPlanner, LinesReadInPiecesPlanAsWholeLines) {
    // Headings about as long as the rule takes, behind long runs of spaces, before many CRs.
    const std::vector<std::string> bodies = {
        lit("第一章 风起"), lit("第2章"), "Chapter 7", lit("第三卷"), lit("第一回见到他时，他笑了"),
        lit("第十章 ") + std::string(30, 'x'), lit("第十一章 ") + std::string(60, 'y'),
        lit("文字文字"), std::string(5000, 'z'), "",
        // Eight characters of 43 and 49 bytes: the rule takes up to 48.
        lit("第一章 😀😀😀😀") + std::string(20, ' '), lit("第二章 😀😀😀😀") + std::string(26, ' '),
        // 45 bytes, but 52 in UTF-8.
        lit("第三章 风起云涌") + std::string(30, ' ')};
    const std::vector<std::string> spaces = {" ", "\t", lit("　")};
    std::mt19937 gen(5);
    const auto pick = [&](size_t n) {
        return std::uniform_int_distribution<size_t>(0, n - 1)(gen);
    };
    const auto run = [&](const std::string& unit, size_t n) {
        std::string out;
        for (size_t i = 0; i < n; ++i) out += unit;
        return out;
    };
    const auto pattern =
        CompiledRegex::compile("^\\s*(第|Chapter)", RegexCase::Sensitive, RegexLines::Single);
    ASSERT_TRUE(pattern);
    for (int round = 0; round < 40; ++round) {
        std::string text;
        for (int line = 0; line < 30; ++line) {
            const size_t lead = pick(4) == 0 ? 3000 : pick(4);
            text += run(spaces[pick(3)], lead) + bodies[pick(bodies.size())] +
                    run(spaces[pick(3)], pick(3)) + run("\r", pick(3) == 0 ? 200 : pick(2)) +
                    (pick(9) == 0 ? "\r" : "") + "\n";
        }
        text += bodies[pick(bodies.size())];  // a last line without a break
        HeadingRule rule;
        rule.maxChars = 8;
        if (round % 2) rule.pattern = pattern.get();
        ChapterPlanner whole(rule);
        planChapters(whole, text);
        BufferSize buffer(1 + size_t(round % 9) * 7);
        ChapterPlanner pieces(rule);
        auto source = TextSource::open(makeMemoryFile(text));
        ASSERT_TRUE(source);
        planChapters(pieces, *source);
        ASSERT_EQ(planned(pieces), planned(whole)) << "round " << round;
        // Stored as UTF-8 and planned on its own bytes: the same chapters, in UTF-8 sizes.
        ChapterPlanner stored(rule);
        auto utf8 = TextSource::open(makeMemoryFile(toUtf8(text)));
        ASSERT_TRUE(utf8 && utf8->validUtf8());
        planChapters(stored, *utf8, true);
        ASSERT_EQ(planned(stored), planned(inUtf8(whole.chapters(), text))) << "round " << round;
    }
}

class StreamedSplit : public SplitFixture {
  protected:
    // The source in one of the encodings the modes decode.
    std::string encoded(const std::string& text, int kind) {
        switch (kind % 3) {
            case 0:
                return text;
            case 1:
                return "\xFF\xFE" + convertEncoding(text, kCodePage, "UTF-16LE");
            default:
                return convertEncoding(text, kCodePage, "UTF-8");
        }
    }
    // What a part of `text` is on disk: in the source's encoding, with its mark.
    static std::string onDisk(const std::string& part, EncodingCode code) {
        return encodeText(part, code, true);
    }
};

TEST_F(StreamedSplit, CharacterLineAndDelimiterPartsEqualTheWholeTextsAtTinyBuffers) {
    std::mt19937 gen(3);
    for (int round = 0; round < 24; ++round) {
        const std::string text = randomText(gen, 40 + size_t(round) * 3);
        const std::string bytes = encoded(text, round);
        writeFile(dir.path("s.txt"), bytes);
        const DecodedText whole = decodeContent(bytes);
        BufferSize buffer(1 + size_t(round % 5));
        const int64_t n = 1 + round % 4;

        // Characters: n at a time over the whole text.
        byChars(std::to_string(n), std::to_string(n));
        split({dir.path("s.txt")});
        std::vector<std::string> expected;
        size_t position = 0;
        for (bool more = !whole.text.empty(); more;) {
            const TakenChars taken = takeChars(whole.text, n, position);
            expected.push_back(onDisk(std::string(taken.part), whole.code));
            more = taken.more;
        }
        ASSERT_EQ(parts("s", "s"), expected) << "characters, round " << round;
        // The manifest hashes the parts as they are written, a piece at a time.
        options.set.writeManifest = true;
        const auto manifestAt = [&](size_t bufferSize) {
            std::filesystem::remove_all(dir.path("s"));
            setTextBufferSize(bufferSize);
            split({dir.path("s.txt")});
            return readFile(dir.path("s/s.sha256"));
        };
        const std::string manifest = manifestAt(1 + size_t(round % 5));
        ASSERT_EQ(manifest, manifestAt(0)) << "characters, round " << round;
        ASSERT_NE(manifest.find("# exact: yes"), std::string::npos) << manifest;
        options.set.writeManifest = false;
        setTextBufferSize(1 + size_t(round % 5));
        std::filesystem::remove_all(dir.path("s"));

        // Delimiter: the whole text's pieces. Valid UTF-8 is searched in UTF-8 unless the
        // delimiter is no whole character ("\x81").
        const std::string delimiter =
            std::vector<std::string>{"|", "\n", "\xB0\xA1", "\x81"}[round % 4];
        options.set.mode = SplitMode::Delimiter;
        options.set.delimiter = delimiter;
        split({dir.path("s.txt")});
        expected.clear();
        for (const std::string& p : wholeTextPieces(whole.text, delimiter))
            expected.push_back(onDisk(p, whole.code));
        ASSERT_EQ(parts("s", "s"), expected) << "delimiter, round " << round;
        std::filesystem::remove_all(dir.path("s"));

        // Lines, breaks corrected: the same parts as with a buffer larger than the file, and
        // for UTF-8 as when a mark has the text converted.
        byLines(std::to_string(n), std::to_string(n));
        options.set.detectEncoding = true;
        options.set.fixLineBreaks = round % 2 == 0;
        options.set.skipBlankLines = round % 4 < 2;
        split({dir.path("s.txt")});
        const std::vector<std::string> small = parts("s", "s");
        std::filesystem::remove_all(dir.path("s"));
        if (whole.code == kEncodingUtf8) {
            writeFile(dir.path("m.txt"), "\xEF\xBB\xBF" + bytes);
            split({dir.path("m.txt")});
            ASSERT_EQ(small, parts("m", "m")) << "UTF-8 lines, round " << round;
            std::filesystem::remove_all(dir.path("m"));
        }
        setTextBufferSize(0);
        split({dir.path("s.txt")});
        ASSERT_EQ(small, parts("s", "s")) << "lines, round " << round;
        std::filesystem::remove_all(dir.path("s"));
    }
}

}  // namespace
}  // namespace pw::test
