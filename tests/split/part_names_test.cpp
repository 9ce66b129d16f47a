#include "split/split_by_bytes.h"
#include "support/refusing_files.h"
#include "support/split_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using Split = SplitFixture;

// The real files, on a file system that takes files of at most `limit` bytes (as FAT32 does).
class LimitedFiles : public RefusingFiles {
  public:
    explicit LimitedFiles(int64_t limit) : limit_(limit) { refuseWrites = false; }
    int64_t maxFileSize(const Text&) override { return limit_; }

  private:
    int64_t limit_;
};

TEST_F(Split, TemplatedNamesKeepNumbersAndPhrasesApart) {
    writeFile(dir.path("a.txt"), "第一行风起云涌\r\n第二行\r\n第三行天下大势\r\n第四行");
    byLines("2", "2");
    options.set.nameTemplate = fromUtf8("{n:02}.{first}.{name}");
    split({dir.path("a.txt")});
    // Each name starts with its padded number; the phrase after it comes from the part's text.
    const std::string names = listing(dir.path("a"));
    EXPECT_EQ(names.substr(0, 3), "01.") << names;
    EXPECT_NE(names.find(" 02."), std::string::npos) << names;
    EXPECT_EQ(names.find("a.txt"), std::string::npos) << names;  // no extension in this one
    EXPECT_NE(names.find(".a"), std::string::npos) << names;

    // A template that could collide is refused before any folder or part exists.
    writeFile(dir.path("b.bin"), "0123456789");
    bySize("4", 0);
    options.set.nameTemplate = fromUtf8("{n}{first}");
    const SplitSummary refused = split({dir.path("b.bin")});
    EXPECT_TRUE(refused.aborted);
    EXPECT_FALSE(fileExists(dir.path("b")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, lit(texts::kNameTemplatePhraseJoins));
    EXPECT_EQ(splitHost.focused, SplitOptionBox::NameTemplate);

    // {count} is known in the byte modes.
    options.set.nameTemplate = fromUtf8("{name}-{n}-of-{count}.{ext}");
    split({dir.path("b.bin")});
    EXPECT_EQ(listing(dir.path("b")), "b-1-of-3.bin b-2-of-3.bin b-3-of-3.bin");
}

TEST_F(Split, APresetCutsExactBytesAndAFat32FolderRefusesLargerParts) {
    writeFile(dir.path("p.bin"), std::string(2500, 'p'));
    bySize("0", 0);  // a preset needs no number
    options.set.presetPartSize = 1000;
    split({dir.path("p.bin")});
    EXPECT_EQ(parts("p", "p", ".bin"),
              (std::vector<std::string>{std::string(1000, 'p'), std::string(1000, 'p'),
                                        std::string(500, 'p')}));

    // The last part of a count takes the rest: 2500 / 2 fits 1250, 2500 / 3 gives 834 last.
    LimitedFiles fat(1000);
    SplitContext ctx{{host, fat, systemClock()}, options, splitHost};
    options.set.presetPartSize = 0;
    byCount("2");
    EXPECT_TRUE(splitFiles(ctx, {fromUtf8(dir.path("p.bin"))}).aborted);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, lit(texts::kFat32PartTooLarge));
    EXPECT_EQ(largestPart(options, 2500, 0), 1250);
    byCount("3");
    EXPECT_EQ(largestPart(options, 2500, 0), 834);
    EXPECT_FALSE(splitFiles(ctx, {fromUtf8(dir.path("p.bin"))}).aborted);
    bySize("0", 0);
    options.set.presetPartSize = 1001;
    EXPECT_EQ(largestPart(options, 2500, 0), 1001);
    EXPECT_EQ(largestPart(options, 900, 0), 900);
    EXPECT_TRUE(splitFiles(ctx, {fromUtf8(dir.path("p.bin"))}).aborted);
}

}  // namespace
}  // namespace pw::test
