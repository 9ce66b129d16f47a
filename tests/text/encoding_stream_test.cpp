#include "text/encoding_stream.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"
#include "text/line_breaks.h"

namespace pw::test {
namespace {

// Restores the default buffer when a test ends, whatever it set.
struct BufferSize {
    explicit BufferSize(size_t bytes) { setTextBufferSize(bytes); }
    ~BufferSize() { setTextBufferSize(0); }
};

// Code-page text from pieces that meet at every awkward edge: CR LF, lone CR and LF, digits next
// to four-byte characters, two-byte characters with ASCII trail bytes, Ê and ê before the
// combining marks Big5-HKSCS joins them with, and, when asked, NUL and bytes valid nowhere.
std::string randomText(std::mt19937& gen, size_t pieces, bool invalid) {
    static const std::vector<std::string> kPieces = {
        "a",
        "7",
        "\r",
        "\n",
        "\r\n",
        "\xB0\xA1",
        "\xD6\xD0",
        "\x81\x40",
        "\x81\x30\x81\x30",
        "\x95\x32\x82\x36",                               // U+10000
        convertEncoding("\xC3\x8A", "UTF-8", kCodePage),  // Ê
        convertEncoding("\xC3\xAA", "UTF-8", kCodePage),  // ê
        convertEncoding("\xCC\x84", "UTF-8", kCodePage),  // a combining macron
        convertEncoding("\xCC\x8C", "UTF-8", kCodePage),  // a combining caron
        " ",
        "<",
        "\xA1\xA1"};
    static const std::vector<std::string> kBad = {std::string(1, '\0'), "\xFF", "\x80", "\x81",
                                                  "\x1A"};
    std::string out;
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1), bad(0, kBad.size() - 1);
    std::uniform_int_distribution<int> odds(0, 30);
    for (size_t i = 0; i < pieces; ++i)
        out += invalid && odds(gen) == 0 ? kBad[bad(gen)] : kPieces[pick(gen)];
    return out;
}

// Every character start of the text, by the character rule.
std::set<size_t> boundaries(std::string_view text) {
    std::set<size_t> starts;
    for (size_t i = 0; i < text.size(); i += charLengthAt(text, i)) starts.insert(i);
    starts.insert(text.size());
    return starts;
}

struct Streamed {
    std::string text;
    EncodingCode code;
    bool cutAtNul;
    size_t replacements;
    bool piecesEndOnBoundaries = true;
};

Streamed stream(const std::string& bytes) {
    auto source = TextSource::open(makeMemoryFile(bytes));
    EXPECT_TRUE(source);
    Streamed s{{}, source->code(), false, 0};
    std::vector<size_t> ends;
    for (std::string_view piece; !(piece = source->next()).empty();) {
        s.text += piece;
        ends.push_back(s.text.size());
    }
    const std::set<size_t> starts = boundaries(s.text);
    for (size_t end : ends) s.piecesEndOnBoundaries &= starts.contains(end);
    s.cutAtNul = source->cutAtNul();
    s.replacements = source->replacements();
    EXPECT_FALSE(source->failed());
    // A second pass gives the same text and counts.
    EXPECT_TRUE(source->rewind());
    std::string again;
    for (std::string_view piece; !(piece = source->next()).empty();) again += piece;
    EXPECT_EQ(again, s.text);
    EXPECT_EQ(source->cutAtNul(), s.cutAtNul);
    EXPECT_EQ(source->replacements(), s.replacements);
    // Valid UTF-8 as it stands: the text in UTF-8.
    auto fresh = TextSource::open(makeMemoryFile(bytes));
    std::string utf8;
    ends.clear();
    for (std::string_view piece; !(piece = fresh->nextUtf8()).empty();) {
        utf8 += piece;
        ends.push_back(utf8.size());
    }
    EXPECT_EQ(utf8, fresh->validUtf8() ? toUtf8(s.text) : s.text);
    // A piece ends where a character ends, never between CR and LF.
    for (size_t end : ends)
        EXPECT_TRUE(!fresh->validUtf8() || end == utf8.size() ||
                    ((utf8[end] & 0xC0) != 0x80 && !(utf8[end - 1] == '\r' && utf8[end] == '\n')))
            << end;
    EXPECT_EQ(fresh->cutAtNul(), s.cutAtNul);
    return s;
}

TEST(TextSource, StreamedTextEqualsTheInMemoryCascadeAtEveryBufferSizeAndOnASecondPass) {
    std::mt19937 gen(23);
    const std::string html = "<html><head><meta charset=\"big5\"></head><body>";
    for (int round = 0; round < 400; ++round) {
        const bool invalid = round % 3 == 0;
        const std::string text = randomText(gen, 1 + round % 60, invalid);
        std::string bytes;
        switch (round % 7) {
            case 0:
                bytes = text;  // the code page itself, perhaps not even valid in it
                break;
            case 1:
                bytes = convertEncoding(text, kCodePage, "UTF-8");  // found by the UTF-8 test
                if (invalid && round % 2)
                    bytes.insert(bytes.size() / 2, "\xED\xA0\x80");  // a surrogate
                break;
            case 2:
                bytes = "\xEF\xBB\xBF" + convertEncoding(text, kCodePage, "UTF-8") +
                        (invalid ? "\xE4\xB8" : "");
                break;
            case 3:
                bytes = "\xFF\xFE" + convertEncoding(text, kCodePage, "UTF-16LE") +
                        (invalid ? "\x3D\xD8" : "");  // a lone high surrogate at the end
                break;
            case 4:
                bytes = "\xFE\xFF" + convertEncoding(text, kCodePage, "UTF-16BE") +
                        (invalid ? "\x00" : "");
                break;
            case 5:
                bytes = html + convertEncoding(text, kCodePage, "BIG5");
                break;
            default:
                bytes = html + text;  // declared Big5, but GBK bytes: invalid input
                break;
        }
        const DecodedText expected = decodeContent(bytes);
        for (size_t size : {1, 2, 3, 5, 8, 13, 64}) {
            BufferSize buffer(size);
            const Streamed got = stream(bytes);
            ASSERT_EQ(got.text, expected.text) << "round " << round << " buffer " << size;
            EXPECT_EQ(got.code, expected.code);
            EXPECT_EQ(got.cutAtNul, expected.cutAtNul);
            EXPECT_EQ(got.replacements, expected.replacements);
            EXPECT_TRUE(got.piecesEndOnBoundaries) << "round " << round << " buffer " << size;
        }
    }
}

TEST(StreamConverter, PiecesConvertAsTheWholeInEveryDirection) {
    std::mt19937 gen(7);
    const std::vector<std::pair<const char*, const char*>> directions = {
        {"GB18030", "BIG5-HKSCS"}, {"GB18030", "BIG5"},       {"GB18030", "UTF-8"},
        {"GB18030", "UTF-16LE"},   {"UTF-8", "GB18030"},      {"UTF-16BE", "GB18030"},
        {"BIG5", "GB18030"},       {"BIG5-HKSCS", "GB18030"}, {"UTF-8", "BIG5-HKSCS"}};
    for (int round = 0; round < 200; ++round) {
        const std::string text = randomText(gen, 1 + round % 50, round % 2 == 0);
        for (const auto& [from, to] : directions) {
            // Input in the source charset, with its own invalid bytes when the text had some.
            std::string input =
                std::string_view(from) == "GB18030" ? text : convertEncoding(text, kCodePage, from);
            if (round % 2 == 0) input.insert(input.size() / 2, "\xFF");
            size_t wholeCount = 0;
            const std::string whole = convertEncoding(input, from, to, &wholeCount);
            std::uniform_int_distribution<size_t> cut(1, 9);
            StreamConverter converter(from, to);
            std::string pieces;
            for (size_t at = 0; at < input.size();) {
                const size_t n = std::min(cut(gen), input.size() - at);
                converter.feed(std::string_view(input).substr(at, n), false, pieces);
                at += n;
            }
            converter.feed({}, true, pieces);
            ASSERT_EQ(pieces, whole) << from << " -> " << to << " round " << round;
            EXPECT_EQ(converter.replacements(), wholeCount);
        }
    }  // A letter and the mark Big5-HKSCS joins it with, cut apart at every byte.
    const std::string joined =
        convertEncoding("\xE4\xB8\x80\xC3\x8A\xCC\x84\xC3\xAA\xCC\x8C\xC3\x8A", "UTF-8", kCodePage);
    const std::string whole = convertEncoding(joined, kCodePage, "BIG5-HKSCS");
    for (size_t at = 0; at <= joined.size(); ++at) {
        StreamConverter converter(kCodePage, "BIG5-HKSCS");
        std::string pieces;
        converter.feed(std::string_view(joined).substr(0, at), false, pieces);
        converter.feed(std::string_view(joined).substr(at), true, pieces);
        EXPECT_EQ(pieces, whole) << "cut at " << at;
    }
}

TEST(TextSourceFile, LinesReadThroughItAreTheDecodedTextWithBreaksFixed) {
    BufferSize buffer(3);
    const std::string bytes =
        "\xEF\xBB\xBF"
        "a\rb\nc\r\n\xE4\xB8\x80\r";
    for (bool fix : {false, true}) {
        auto source = TextSource::open(makeMemoryFile(bytes));
        ASSERT_TRUE(source);
        auto file = textSourceFile(*source, fix);
        std::string all;
        char chunk[2];
        for (int64_t got; (got = file->read(chunk, sizeof chunk)) > 0;)
            all.append(chunk, size_t(got));
        const Text text = decodeContent(bytes).text;
        EXPECT_EQ(all, fix ? fixLineBreaks(text) : text);
    }
}

}  // namespace
}  // namespace pw::test

namespace pw::test {
namespace {

// A file that claims to be larger than any memory; its bytes are a few.
class HugeFile : public FileHandle {
  public:
    explicit HugeFile(std::string bytes) : inner_(makeMemoryFile(std::move(bytes))) {}
    int64_t read(void* b, size_t n) override { return inner_->read(b, n); }
    bool write(const void*, size_t) override { return false; }
    bool seek(int64_t p) override { return inner_->seek(p); }
    int64_t position() const override { return inner_->position(); }
    int64_t length() override { return int64_t(1) << 50; }
    bool close() override { return inner_->close(); }

  private:
    std::unique_ptr<FileHandle> inner_;
};

TEST(TextSource, AFileLargerThanMemoryIsReadNotRefused) {
    const std::string bytes = "\xEF\xBB\xBF\xE4\xB8\x80\r\n";
    auto source = TextSource::open(std::make_unique<HugeFile>(bytes));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->code(), kEncodingUtf8);
    EXPECT_EQ(std::string(source->next()), decodeContent(bytes).text);
    EXPECT_TRUE(source->next().empty());
    EXPECT_FALSE(source->failed());
}

}  // namespace
}  // namespace pw::test
