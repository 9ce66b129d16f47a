#include <gtest/gtest.h>

#include <cstdlib>

#include "files/manifest.h"
#include "platform/native_names.h"
#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

TEST(Manifest, ExactFormatThatSha256sumChecks) {
    TempDir dir;
    writeFile(dir.path("书_1.txt"), "abc");
    writeFile(dir.path("a\\b_2.txt"), "");
    Manifest m;
    m.sourceName = fromUtf8("书.txt");
    m.sourceSize = 5;
    m.sourceSha256 = sha256Hex("abc\r\n");
    m.mode = "delimiter";
    m.addedMark = "\xEF\xBB\xBF";
    m.joiner = "\r\n";
    m.trailingJoiner = true;
    m.parts = {{fromUtf8("书_1.txt"), 3, sha256Hex("abc")},
               {fromUtf8("a\\b_2.txt"), 0, sha256Hex("")}};
    const std::string text = formatManifest(m);
    EXPECT_EQ(text,
              "# Partwell checksum manifest; check the parts with: sha256sum -c <this file>\n"
              "# format: 1\n"
              "# source: 书.txt\n"
              "# source-size: 5\n"
              "# source-sha256: " +
                  sha256Hex("abc\r\n") +
                  "\n"
                  "# mode: delimiter\n"
                  "# exact: yes\n"
                  "# added-mark: efbbbf\n"
                  "# source-mark: no\n"
                  "# joiner: 0d0a\n"
                  "# trailing-joiner: yes\n"
                  "# fixed-line-breaks: no\n"
                  "# skipped-blank-lines: no\n"
                  "# size: 3\n" +
                  sha256Hex("abc") + "  书_1.txt\n# size: 0\n\\" + sha256Hex("") +
                  "  a\\\\b_2.txt\n");

    // GNU sha256sum reads it as it is, the escaped name too, and notices a changed part.
    ASSERT_TRUE(writeManifest(posixFileSystem(), fromUtf8(dir.path("书.sha256")), m));
    const std::string check = "cd '" + dir.path() + "' && sha256sum --quiet --strict -c 书.sha256";
    EXPECT_EQ(std::system((check + " >/dev/null 2>&1").c_str()), 0);
    writeFile(dir.path("书_1.txt"), "abd");
    EXPECT_NE(std::system((check + " >/dev/null 2>&1").c_str()), 0);

    std::string problem;
    auto back = parseManifest(text, problem);
    ASSERT_TRUE(back) << problem;
    EXPECT_EQ(back->sourceName, m.sourceName);
    EXPECT_EQ(back->sourceSize, 5);
    EXPECT_EQ(back->joiner, "\r\n");
    EXPECT_EQ(back->addedMark, "\xEF\xBB\xBF");
    EXPECT_TRUE(back->trailingJoiner);
    EXPECT_FALSE(back->sourceMark);
    ASSERT_EQ(back->parts.size(), 2u);
    EXPECT_EQ(back->parts[1].name, fromUtf8("a\\b_2.txt"));
    EXPECT_EQ(back->parts[0].size, 3);

    // Damage is refused with a reason, not half read.
    const auto refused = [&](std::string content) {
        std::string why;
        return !parseManifest(content, why) && !why.empty();
    };
    EXPECT_TRUE(refused("not a manifest"));
    std::string newer = text;
    newer.replace(newer.find("format: 1"), 9, "format: 9");
    EXPECT_TRUE(refused(newer));
    std::string badDigest = text;
    badDigest[badDigest.find("  书_1") - 1] = 'X';
    EXPECT_TRUE(refused(badDigest));
    EXPECT_TRUE(refused(text.substr(0, text.find("# size: 3"))));  // no parts
    std::string noSize = text;
    noSize.erase(noSize.find("# size: 3"), 10);
    EXPECT_TRUE(refused(noSize));
}

// A part's or the original's name that is no plain file name in the manifest's folder refuses the
// whole manifest, naming its line, however it is spelt; names that only look odd are kept.
TEST(Manifest, NamesOutsideTheFolderRefuseItWhole) {
    Manifest m;
    m.sourceName = "book.bin";
    m.sourceSha256 = sha256Hex("");
    m.mode = "parts";
    m.parts = {{"book_1.bin", 0, sha256Hex("")}, {"book_2.bin", 0, sha256Hex("")}};
    const std::string good = formatManifest(m);
    const std::string digest = sha256Hex("");
    const auto withPart = [&](const std::string& line) {
        std::string text = good;
        text.replace(text.find(digest + "  book_2.bin"), digest.size() + 12, line);
        return text;
    };
    const auto withSource = [&](const std::string& name) {
        std::string text = good;
        text.replace(text.find("# source: book.bin"), 18, "# source: " + name);
        return text;
    };
    const std::string refused[] = {
        withPart(digest + "  ../book_2.bin"),
        withPart(digest + "  /etc/passwd"),
        withPart(digest + "  sub/book_2.bin"),
        withPart(digest + " *sub/book_2.bin"),
        withPart(digest + "  ."),
        withPart(digest + "  .."),
        withPart(digest + "  book" + std::string(1, '\0') + "_2.bin"),
        withPart("\\" + digest + "  ..\\\\/x"),  // a separator beside an escaped backslash
        withSource("../../../escape.bin"),
        withSource("/tmp/escape.bin"),
        withSource("a/b"),
        withSource(".."),
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE(text);
        std::string why;
        EXPECT_FALSE(parseManifest(text, why));
        const bool source = text.find("# source: book.bin") == std::string::npos;
        EXPECT_EQ(why, source ? std::string("line 3: ") + kUnsafeSourceName
                              : std::string("line 11: ") + kUnsafePartName);
    }
    for (const std::string& name :
         {std::string("a\\\\b_2.bin"), std::string("...bin"), std::string(".hidden"),
          std::string("a..b"), std::string("C:x")}) {
        std::string why;
        const auto back = parseManifest(withPart("\\" + digest + "  " + name), why);
        ASSERT_TRUE(back) << name << ": " << why;
        EXPECT_TRUE(isPlainFileName(toNativeName(back->parts[1].name))) << name;
    }
}

}  // namespace
}  // namespace pw::test
