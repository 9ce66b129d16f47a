// Splitting books before their chapter headings, in the encodings the program detects.

#include <filesystem>

#include "platform/charset.h"
#include "support/split_fixture.h"
#include "text/encoding_stream.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// A title page, then four chapters; the last heading is the file's last line, without break.
constexpr std::string_view kBook =
    "书名\r\n作者\r\n\r\n第一章 风起\r\n正文一\r\n第二章 云涌\r\n正文二\r\n"
    "第三章 归来\r\n正文三\r\n第四章 终";

class ChapterSplit : public SplitFixture {
  protected:
    void byChapters(const std::string& perPart) {
        options.set.mode = SplitMode::Chapters;
        options.set.chaptersPerPart = std::stoi(perPart);
    }
    // The part files of `folder` in part order (names, then contents turned into UTF-8).
    std::vector<std::pair<std::string, std::string>> partsIn(const std::string& folder,
                                                             const char* charset) {
        std::vector<std::pair<int, std::string>> numbered;
        for (const auto& e : std::filesystem::directory_iterator(dir.path(folder))) {
            const std::string name = e.path().filename().string();
            numbered.push_back({std::stoi(name.substr(name.find('_') + 1)), name});
        }
        std::sort(numbered.begin(), numbered.end());
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& [k, name] : numbered) {
            std::string bytes = readFile(dir.path(folder + "/" + name));
            // Text parts carry the mark of their encoding, as the source's other text modes do.
            if (bytes.starts_with("\xFF\xFE")) bytes.erase(0, 2);
            if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
            out.push_back({name, *convertCharset(bytes, charset, "UTF-8")});
        }
        return out;
    }
};

TEST_F(ChapterSplit, PartsStartAtHeadingsAndJoinBackToTheTextInEveryEncoding) {
    struct Encoding {
        const char* charset;
        std::string bytes;
    };
    const Encoding encodings[] = {
        {"GBK", *convertCharset(kBook, "UTF-8", "GBK")},
        {"UTF-8", std::string(kBook)},
        {"UTF-16LE", "\xFF\xFE" + *convertCharset(kBook, "UTF-8", "UTF-16LE")},
    };
    for (const Encoding& e : encodings) {
        SCOPED_TRACE(e.charset);
        // Read a buffer at a time: 0 is the default; tiny buffers cut characters, CR LF pairs
        // and headings at every edge.
        for (size_t buffer : {size_t(0), size_t(1), size_t(5)})
            for (const char* perPart : {"1", "2"}) {
                setTextBufferSize(buffer);
                const std::string folder =
                    std::string(e.charset) + perPart + "_" + std::to_string(buffer);
                std::filesystem::create_directory(dir.path(folder));
                writeFile(dir.path(folder + "/book.txt"), e.bytes);
                byChapters(perPart);
                options.set.intoSubfolder = true;
                const SplitSummary summary = split({dir.path(folder + "/book.txt")});
                setTextBufferSize(0);
                EXPECT_FALSE(summary.aborted);
                EXPECT_TRUE(summary.failures.empty());

                const auto parts = partsIn(folder + "/book", e.charset);
                std::string joined;
                std::vector<std::string> names;
                for (const auto& [name, text] : parts) {
                    names.push_back(name);
                    joined += text;
                }
                EXPECT_EQ(joined, kBook);  // nothing left out, nothing added
                if (std::string(perPart) == "1") {
                    EXPECT_EQ(names,
                              (std::vector<std::string>{
                                  "book_1.txt", "book_2 第一章 风起.txt", "book_3 第二章 云涌.txt",
                                  "book_4 第三章 归来.txt", "book_5 第四章 终.txt"}));
                    ASSERT_EQ(parts.size(), 5u);
                    EXPECT_EQ(parts[0].second, "书名\r\n作者\r\n\r\n");  // the title page alone
                    EXPECT_EQ(parts[2].second, "第二章 云涌\r\n正文二\r\n");
                    EXPECT_EQ(parts[4].second, "第四章 终");
                } else {
                    EXPECT_EQ(names,
                              (std::vector<std::string>{"book_1.txt", "book_2 第一章 风起.txt",
                                                        "book_3 第三章 归来.txt"}));
                }
            }
    }
}

TEST_F(ChapterSplit, BookWithoutHeadingsIsLeftAloneAndTheJobGoesOn) {
    writeFile(dir.path("plain.txt"), "只是一段文字。\r\n没有标题。\r\n");
    writeFile(dir.path("novel.txt"), *convertCharset(kBook, "UTF-8", "GBK"));
    byChapters("10");
    options.set.intoSubfolder = false;
    options.set.deleteSources = true;
    const SplitSummary summary = split({dir.path("plain.txt"), dir.path("novel.txt")});
    ASSERT_EQ(summary.withoutHeadings.size(), 1u);
    EXPECT_EQ(toUtf8(summary.withoutHeadings[0]), dir.path("plain.txt"));
    EXPECT_EQ(summary.partsWritten, 2);
    EXPECT_TRUE(fileExists(dir.path("plain.txt")));   // nothing of it was written
    EXPECT_FALSE(fileExists(dir.path("novel.txt")));  // all of it is in its two parts
    EXPECT_EQ(listing(dir.path()), "novel_1.txt novel_2 第一章 风起.txt plain.txt");
}

TEST_F(ChapterSplit, UnusableOptionsEndTheJobBeforeAnythingIsWritten) {
    writeFile(dir.path("novel.txt"), std::string(kBook));
    byChapters("0");
    SplitSummary summary = split({dir.path("novel.txt")});
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(splitHost.focused, SplitOptionBox::ChapterCount);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(toUtf8(host.messages[0].text), texts::kChaptersPerPartAtLeastOne);

    byChapters("1");
    options.set.headingPattern = fromUtf8("第(\\d+");
    summary = split({dir.path("novel.txt")});
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(splitHost.focused, SplitOptionBox::HeadingPattern);
    EXPECT_EQ(listing(dir.path()), "novel.txt");
    // The message gives PCRE2's reason and place, and quotes at most 80 characters.
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(toUtf8(host.messages[1].text),
              std::string(texts::kBadHeadingPattern) +
                  "第(\\d+（missing closing parenthesis，第 6 个字符处）");
    options.set.headingPattern = fromUtf8(std::string(100, '(') + "章");
    split({dir.path("novel.txt")});
    ASSERT_EQ(host.messages.size(), 3u);
    EXPECT_TRUE(
        toUtf8(host.messages[2].text)
            .starts_with(std::string(texts::kBadHeadingPattern) + std::string(80, '(') + "…（"))
        << toUtf8(host.messages[2].text);

    // The user's pattern replaces the built-in rule: only 第二章 and 第四章 cut.
    options.set.headingPattern = fromUtf8("^第[二四]章");
    options.set.intoSubfolder = false;
    summary = split({dir.path("novel.txt")});
    EXPECT_FALSE(summary.aborted);
    EXPECT_EQ(listing(dir.path()),
              "novel.txt novel_1.txt novel_2 第二章 云涌.txt novel_3 第四章 终.txt");
}

}  // namespace
}  // namespace pw::test
