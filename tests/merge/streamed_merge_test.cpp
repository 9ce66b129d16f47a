// A merge with encoding handling reads and converts through a small buffer; its output must be
// what joining the whole texts in memory and converting them at once gives.

#include <gtest/gtest.h>

#include <random>

#include "platform/charset_reference.h"
#include "support/merge_fixture.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"
#include "text/encoding_stream.h"

namespace pw::test {
namespace {

struct BufferSize {
    explicit BufferSize(size_t bytes) { setTextBufferSize(bytes); }
    ~BufferSize() { setTextBufferSize(0); }
};

std::string randomText(std::mt19937& gen, size_t pieces) {
    static const std::vector<std::string> kPieces = {"a",
                                                     "\r\n",
                                                     "\n",
                                                     "\xB9\xFA",  // 国: no Big5 code, a "?" there
                                                     "\xD6\xD0",  // 中
                                                     "\x81\x30\x81\x30",
                                                     "7",
                                                     "\x88\x66",
                                                     "\xA8\xBA"};
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
    std::string out;
    for (size_t i = 0; i < pieces; ++i) out += kPieces[pick(gen)];
    return out;
}

using StreamedMerge = MergeFixture;

TEST_F(StreamedMerge, OutputAndOutcomesEqualTheWholeTextsConvertedAtOnce) {
    std::mt19937 gen(19);
    options.set.handleEncoding = true;
    options.set.deleteSources = true;
    for (int round = 0; round < 30; ++round) {
        // UTF-16 and UTF-8 sources, the last one deciding the output's encoding.
        const std::string a = randomText(gen, 5 + size_t(round) * 2);
        const std::string b = randomText(gen, 3 + size_t(round));
        const std::string last = round % 3 == 0 ? "\xB9\xFA" : "\xD6\xD0";
        const char* target = round % 2 ? "BIG5" : "BIG5-HKSCS";
        const std::string declared = std::string("<meta charset=") + target + ">";
        const std::vector<std::string> bytes = {
            "\xFF\xFE" + convertEncoding(a, kCodePage, "UTF-16LE"),
            convertEncoding(b, kCodePage, "UTF-8") + (round % 4 == 0 ? std::string(1, '\0') : ""),
            convertEncoding(declared, kCodePage, target) +
                convertEncoding(last, kCodePage, target)};
        std::vector<std::string> paths;
        for (size_t i = 0; i < bytes.size(); ++i) {
            paths.push_back(
                dir.path("m" + std::to_string(round) + "_" + std::to_string(i) + ".txt"));
            writeFile(paths.back(), bytes[i]);
        }
        // The reference: every text whole, joined, cut at its NUL, converted in one go.
        std::string joined;
        std::vector<DecodedText> decoded;
        for (const std::string& b : bytes) {
            decoded.push_back(decodeContent(b));
            joined += decoded.back().text;
        }
        const EncodingCode code = decoded.back().code;
        const std::string expected = encodeText(joined, code, true);
        // Nearly every simplified character becomes "?": as the slow iconv path has it.
        ASSERT_EQ(expected, std::string(byteOrderMarkOf(code)) +
                                *convertCharsetByIconv(joined.substr(0, joined.find('\0')),
                                                       kCodePage, charsetNameOf(code)));

        BufferSize buffer(1 + size_t(round % 6));
        const MergeSummary s = mergeFiles(paths);
        ASSERT_EQ(s.outputs.size(), 1u);
        ASSERT_EQ(readFile(toUtf8(s.outputs[0])), expected) << "round " << round;
        // A source whose text needed substitutes, or was cut at a NUL, stays; the others go.
        for (size_t i = 0; i < paths.size(); ++i) {
            size_t inOutput = 0;
            encodeText(decoded[i].text, code, false, &inOutput);
            const bool kept =
                decoded[i].replacements > 0 || inOutput > 0 || (i == 1 && round % 4 == 0);
            EXPECT_EQ(fileExists(paths[i]), kept) << "round " << round << " source " << i;
        }
    }
}

TEST_F(StreamedMerge, ValidUtf8IsJoinedAsItStandsIntoWhatItsConvertedTextGives) {
    // The same sources with a byte-order mark go through the code page: the reference.
    std::mt19937 gen(5);
    options.set.handleEncoding = true;
    options.set.deleteSources = true;
    for (int round = 0; round < 24; ++round) {
        std::vector<std::string> bytes;
        for (int i = 0; i < 3; ++i)
            bytes.push_back(
                convertEncoding(randomText(gen, 4 + size_t(round)), kCodePage, "UTF-8"));
        if (round % 3 == 0) bytes[1] += std::string("\0z", 2);           // cut at its NUL
        if (round % 4 == 1) bytes[1] = randomText(gen, 6) + "\xB0\xA1";  // GBK: joined again
        if (round % 4 == 3) bytes[0] = "ascii\r\n";  // no byte of 80 or more: UTF-8 as well
        options.set.joinWith = round % 2 ? JoinWith::Text : JoinWith::Nothing;
        options.set.joinText = round % 5 == 1 ? "\xFF" : "\r\n\xD6\xD0\r\n";  // "\xFF": no UTF-8
        const bool lastMissing = round % 4 == 2;  // the output then stays in the code page
        BufferSize buffer(1 + size_t(round % 6));
        std::vector<std::string> outputs;
        std::vector<std::vector<bool>> kept;
        for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
            std::vector<std::string> paths;
            for (size_t i = 0; i < bytes.size(); ++i) {
                paths.push_back(dir.path((mark.empty() ? "u" : "m") + std::to_string(round) + "_" +
                                         std::to_string(i) + ".txt"));
                if (!(lastMissing && i == 2))
                    writeFile(paths.back(), (i == 1 && round % 4 == 1 ? "" : mark) + bytes[i]);
            }
            const MergeSummary s = mergeFiles(paths);
            ASSERT_EQ(s.outputs.size(), 1u);
            outputs.push_back(readFile(toUtf8(s.outputs[0])));
            kept.emplace_back();
            for (const std::string& path : paths) kept.back().push_back(fileExists(path));
        }
        ASSERT_EQ(outputs[0], outputs[1]) << "round " << round;
        EXPECT_EQ(kept[0], kept[1]) << "round " << round;
    }
}

}  // namespace
}  // namespace pw::test
