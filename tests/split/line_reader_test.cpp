#include "split/line_reader.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

// Every line of the data, with the position after each read; a NUL or Ctrl-Z that stopped a read
// without moving it is stepped over and shown as "<skip>".
std::vector<std::string> readAll(FileHandle& file, size_t bufferSize) {
    LineReader reader(file, bufferSize);
    std::vector<std::string> out;
    int64_t before = 0;
    while (!reader.atEnd()) {
        const std::string line(reader.readLine());
        out.push_back(line + "@" + std::to_string(reader.position()));
        if (reader.position() == before) {
            reader.skipByte();
            out.push_back("<skip>");
        }
        before = reader.position();
    }
    EXPECT_FALSE(reader.failed());
    return out;
}

using Lines = std::vector<std::string>;

TEST(LineReader, LineEndsWhateverTheBufferAndTheSource) {
    struct Case {
        std::string data;
        Lines lines;
    };
    const Case cases[] = {
        {"a\r\nb\nc", {"a@3", "b@5", "c@6"}},
        {"a\r\n", {"a@3"}},  // no empty last line
        {"\n\n", {"@1", "@2"}},
        {"a\rb\r\n", {"a\rb@5"}},        // a lone CR is no line break
        {"end\r", {"end\r@4"}},          // nor is a CR at the very end
        {"a\r\r\nb", {"a\r@4", "b@5"}},  // only the CR right before the LF goes
        // NUL and Ctrl-Z end a line without being consumed.
        {std::string("ab\0cd\n", 6), {"ab@2", "@2", "<skip>", "cd@6"}},
        {std::string("\0x", 2), {"@0", "<skip>", "x@2"}},
        {"a\x1A", {"a@1", "@1", "<skip>"}},
        // A UTF-8 character whose last byte is 0x80 or more keeps its LF: 中 is E4 B8 AD.
        {"\xE4\xB8\xAD\n\xE6\x96\x87\n", {"\xE4\xB8\xAD@4", "\xE6\x96\x87@8"}},
        {"\xC3\n", {"\xC3@2"}},
        {"", {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.data));
        writeFile(dir.path("f"), c.data);
        // Buffers smaller than a line make lines run over refills, CR LF pairs be split apart.
        for (size_t bufferSize :
             {size_t(1), size_t(2), size_t(3), size_t(7), LineReader::kDefaultBufferSize}) {
            SCOPED_TRACE(bufferSize);
            auto memory = makeMemoryFile(c.data);
            EXPECT_EQ(readAll(*memory, bufferSize), c.lines);
            auto disk = posixFileSystem().open(fromUtf8(dir.path("f")), OpenMode::Read);
            ASSERT_TRUE(disk);
            EXPECT_EQ(readAll(*disk, bufferSize), c.lines);
        }
    }
}

TEST(LineReader, LongLinesAcrossManyRefills) {
    const std::string longLine(100000, 'x');
    auto file = makeMemoryFile(longLine + "\r\n" + longLine);
    LineReader reader(*file, 4096);
    EXPECT_EQ(reader.readLine(), longLine);
    EXPECT_EQ(reader.position(), 100002);
    EXPECT_EQ(reader.readLine(), longLine);
    EXPECT_TRUE(reader.atEnd());
}

TEST(LineReader, PiecesOfALineNeverExceedTheBuffer) {
    // A CR at every buffer end waits there for its LF; the pieces make the lines readLine gives.
    const std::string data = std::string(4095, 'x') + "\r\n" + std::string(10000, 'y') + "\r";
    auto file = makeMemoryFile(data);
    LineReader reader(*file, 4096);
    std::vector<std::string> lines(1);
    size_t longest = 0;
    while (!reader.atEnd()) {
        bool ends = false;
        const std::string_view piece = reader.readPiece(ends);
        longest = std::max(longest, piece.size());
        lines.back() += piece;
        if (ends) lines.emplace_back();
    }
    EXPECT_LE(longest, 4096u);
    EXPECT_EQ(lines, (Lines{std::string(4095, 'x'), std::string(10000, 'y') + "\r", ""}));
}

}  // namespace
}  // namespace pw::test
