#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "support/plain_form.h"
#include "support/temp_dir.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// Tests spell texts in UTF-8; the store holds code-page bytes.
Text gb(std::string_view utf8) {
    return fromUtf8(utf8);
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    std::string ini() const { return dir.path("Partwell.ini"); }
    // The file on disk, in UTF-8 for readable comparisons.
    std::string onDisk() const { return toUtf8(readFile(ini())); }
    void open(SettingsStore& store, const std::string& section = "主界面") {
        store.openFile(fromUtf8(ini()));
        store.selectSection(gb(section));
    }

    TempDir dir;
};

TEST_F(SettingsStoreTest, FreshFileHoldsEntriesInFirstWrittenOrderAndTypedValuesRoundTrip) {
    {
        SettingsStore store;
        open(store);
        EXPECT_TRUE(store.canWrite());
        EXPECT_FALSE(fileExists(ini()));  // nothing is written before the first value
        EXPECT_TRUE(store.writeFlag(gb("选择框合并中间"), true));
        EXPECT_TRUE(store.writeText(gb("编辑框字符串"), gb("第一行\r\n第二行\r\n")));
        EXPECT_EQ(onDisk(), "[主界面]\r\n选择框合并中间=真\r\n编辑框字符串=第一行┊*┊第二行┊*┊");
        // Rewriting a value keeps its line; numbers are whole without a decimal point.
        EXPECT_TRUE(store.writeFlag(gb("选择框合并中间"), false));
        EXPECT_TRUE(store.writeNumber(gb("组合框字节单位"), -1));
        EXPECT_TRUE(store.writeNumber(gb("小数"), 2.5));
        EXPECT_EQ(onDisk(),
                  "[主界面]\r\n选择框合并中间=假\r\n编辑框字符串=第一行┊*┊第二行┊*┊\r\n"
                  "组合框字节单位=-1\r\n小数=2.5");
        EXPECT_EQ(store.text(), readFile(ini()));
    }
    SettingsStore again;
    open(again);
    EXPECT_EQ(again.readText(gb("编辑框字符串"), "x"), gb("第一行\r\n第二行\r\n"));
    EXPECT_FALSE(again.readFlag(gb("选择框合并中间"), true));
    EXPECT_EQ(again.readNumber(gb("组合框字节单位"), 7), -1);
    EXPECT_EQ(again.readNumber(gb("小数"), 7), 2.5);
    EXPECT_EQ(again.readNumber(gb("不在"), 7), 7);
    // Another section starts empty and is appended after the first one.
    again.selectSection("other");
    EXPECT_EQ(again.readText("k", "dflt"), "dflt");
    EXPECT_TRUE(again.writeText("k", "v"));
    EXPECT_TRUE(onDisk().ends_with("小数=2.5\r\n[other]\r\nk=v")) << onDisk();
}

TEST_F(SettingsStoreTest, EmptyValuesKeepTheirKeyAndReadAsMissing) {
    SettingsStore store;
    open(store);
    store.writeText("a", "1");
    store.writeText("b", "2");
    EXPECT_TRUE(store.writeText("a", ""));
    EXPECT_EQ(onDisk(), "[主界面]\r\na=\r\nb=2");
    EXPECT_EQ(store.readText("a", "dflt"), "dflt");
    EXPECT_EQ(store.readValue("a", "dflt", false), "");
    EXPECT_EQ(store.readValue("a", "dflt", true), "dflt");
    // A default carrying a line break comes back with it.
    EXPECT_EQ(store.readText("missing", "x\r\ny"), "x\r\ny");
}

TEST_F(SettingsStoreTest, HeadersCountOnlyAtLineStartsAndKeysOnlyInTheirOwnSection) {
    writeFile(ini(), gb("junk[主界面]\r\nk=wrong\r\n"
                        "[主界面]\r\nflag=真 \r\nyes=真\r\n"
                        "[later]\r\nk=later\r\nonly=below\r\nx=y"));
    SettingsStore store;
    open(store);
    EXPECT_EQ(store.readText("k", "dflt"), "dflt");  // under the false header, then a later one
    EXPECT_FALSE(store.readFlag("flag", true));      // "真 " is not "真"
    EXPECT_TRUE(store.readFlag("yes", false));
    EXPECT_EQ(store.readText("only", "dflt"), "dflt");
    // A new key goes before the later header's line break, not to the end of the file.
    EXPECT_TRUE(store.writeText("only", "mine"));
    EXPECT_EQ(store.readText("only", ""), "mine");
    EXPECT_EQ(onDisk(),
              "junk[主界面]\r\nk=wrong\r\n[主界面]\r\nflag=真 \r\nyes=真\r\nonly=mine\r\n"
              "[later]\r\nk=later\r\nonly=below\r\nx=y");
    store.selectSection("later");
    EXPECT_EQ(store.readText("only", ""), "below");
    EXPECT_EQ(store.readText("k", ""), "later");
}

TEST_F(SettingsStoreTest, JunkLinesAndBrokenBytesAreReadAndKept) {
    // Not GB18030, NUL bytes, lone CR and LF, a half header, an "=" line with no key.
    const char raw[] = "\xff\xfe\x81\r\n[half\r\n=x\r\n\0\x80\r\r\nk\n=1\r\n";
    const std::string junk(raw, sizeof raw - 1);
    writeFile(ini(), junk + "[s]\r\n\xff=\xfe\r\nk=1\r\n[x");
    SettingsStore store;
    open(store, "s");
    EXPECT_EQ(store.readValue("\xff", "", false), "\xfe");
    EXPECT_EQ(store.readText("k", ""), "1");
    EXPECT_TRUE(store.writeText("k", "2"));
    EXPECT_TRUE(store.writeText("new", "3"));
    EXPECT_EQ(readFile(ini()), junk + "[s]\r\n\xff=\xfe\r\nk=2\r\nnew=3\r\n[x");
    store.selectSection("half");
    EXPECT_EQ(store.readText("k", "none"), "none");
}

TEST_F(SettingsStoreTest, AWriteMadeDuringAnotherIsAppliedAfterIt) {
    PlainForm form;
    SettingsStore store;
    store.setForm(&form);
    open(store);
    std::vector<std::string> nested;
    int calls = 0;
    form.onProcessEvents = [&] {
        if (++calls != 1) return;
        // A click handled while the first write runs: reads see the memory copy at once, writes
        // wait for the running one.
        nested.push_back(store.readText("first", "unwritten"));
        nested.push_back(store.writeText("second", "2") ? "applied" : "queued");
        store.selectSection("other");
        nested.push_back(store.writeText("third", "3") ? "applied" : "queued");
        store.selectSection(gb("主界面"));
    };
    EXPECT_TRUE(store.writeText("first", "1"));
    EXPECT_EQ(nested, (std::vector<std::string>{"unwritten", "queued", "queued"}));
    EXPECT_EQ(onDisk(), "[主界面]\r\nfirst=1\r\nsecond=2\r\n[other]\r\nthird=3");
    EXPECT_GT(form.eventRounds, 1);
    EXPECT_TRUE(form.messages.empty());
}

TEST_F(SettingsStoreTest, ASecondStoreOnTheFileReadsItButWritesOnlyItsMemory) {
    SettingsStore first;
    open(first);
    first.writeText("k", "first");
    first.writeBytes("b", "bytes");
    const std::string before = readFile(ini());
    {
        SettingsStore second;
        open(second);
        EXPECT_FALSE(second.canWrite());
        EXPECT_EQ(second.readText("k", ""), "first");
        EXPECT_EQ(second.readBytes("b", ""), "bytes");
        EXPECT_FALSE(second.writeText("k", "second"));
        EXPECT_EQ(second.readText("k", ""), "second");
        EXPECT_FALSE(second.writeBytes("b", "other"));
        EXPECT_FALSE(second.commit());
        EXPECT_EQ(second.failures(), 1u);
    }
    EXPECT_EQ(readFile(ini()), before);
    EXPECT_EQ(first.readBytes("b", ""), "bytes");
    EXPECT_EQ(listing(dir.path()), "Partwell.ini inibin/");
    // Once the first store is gone, the next one may write.
    first.openFile(fromUtf8(dir.path("elsewhere/none.ini")));
    SettingsStore third;
    open(third);
    EXPECT_TRUE(third.writeText("k", "third"));
}

TEST_F(SettingsStoreTest, ByteValuesLiveInSideFiles) {
    SettingsStore store;
    open(store);
    const ByteBuffer bytes("a\r\nb\0c\xff", 7);
    EXPECT_TRUE(store.writeBytes(gb("按钮输入字符串.标记"), bytes));
    EXPECT_EQ(readFile(dir.path("inibin/主界面-按钮输入字符串.标记.ibn")), bytes);
    EXPECT_TRUE(store.writeBytes(gb("按钮输入字符串.标记"), "shorter"));
    EXPECT_EQ(store.readBytes(gb("按钮输入字符串.标记"), "dflt"), "shorter");
    EXPECT_EQ(store.readBytes("missing", "dflt"), "dflt");
    writeFile(dir.path("inibin/主界面-empty.ibn"), "");
    EXPECT_EQ(store.readBytes("empty", "dflt"), "dflt");
    EXPECT_FALSE(fileExists(ini()));  // byte values never touch the text file
    EXPECT_EQ(listing(dir.path("inibin")), "主界面-empty.ibn 主界面-按钮输入字符串.标记.ibn");
}

TEST_F(SettingsStoreTest, FilesThatCannotBeTakenForSettingsAreLeftAlone) {
    // Too large to be ours: not read, never replaced.
    const std::string huge(size_t(SettingsStore::kMaxFileBytes) + 1, 'x');
    writeFile(ini(), huge);
    {
        SettingsStore store;
        open(store);
        EXPECT_FALSE(store.canWrite());
        EXPECT_EQ(store.readText("x", "dflt"), "dflt");
        EXPECT_FALSE(store.writeText("k", "v"));
    }
    EXPECT_EQ(readFile(ini()).size(), huge.size());
    // A folder that does not exist: the store works in memory.
    SettingsStore store;
    EXPECT_FALSE(store.openFile(fromUtf8(dir.path("no/such/Partwell.ini"))));
    EXPECT_FALSE(store.writeText("k", "v"));
    EXPECT_EQ(store.readText("k", ""), "v");
    EXPECT_EQ(listing(dir.path()), "Partwell.ini");
}

}  // namespace
}  // namespace pw::test
