// A process killed at any moment of a save leaves the settings file as one whole version.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "settings/control_states.h"
#include "support/plain_form.h"
#include "support/temp_dir.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// A window of about the main window's size: the controls the two versions change, among others.
void addControls(PlainForm& form) {
    for (const char* name : {"选择框合并中间", "单选框按份数", "单选框按行数", "编辑框字符串",
                             "按钮开始合并", "编辑框份数"})
        form.add(name);
    for (int i = 0; i < 40; ++i) form.add("编辑框" + std::to_string(i)).text = "100";
}

// Two window states whose values differ in length, so a half-done edit would show.
void makeVersion(PlainForm& form, bool second) {
    addControls(form);
    form.setChecked("选择框合并中间", second);
    form.setChecked(second ? "单选框按行数" : "单选框按份数", true);
    form.setText("编辑框字符串", fromUtf8(second ? "短" : "一段长得多的中间文字\r\n第二行"));
    form.setTag("按钮开始合并", fromUtf8(second ? "/一个/很长很长的/文件夹/路径" : "/x"));
    form.setText("编辑框份数", second ? "7" : "123456");
}

std::string savedBytes(const std::string& path, PlainForm& form) {
    SettingsStore store;
    store.openFile(fromUtf8(path));
    saveControls(store, form, lit(texts::kMainSection));
    return readFile(path);
}

TEST(SettingsKill, AKilledSaveLeavesTheOldOrTheNewVersion) {
    TempDir dir;
    PlainForm first, second;
    makeVersion(first, false);
    makeVersion(second, true);
    const std::string versionB = savedBytes(dir.path("b.ini"), second);
    const std::string ini = dir.path("Partwell.ini");
    const std::string versionA = savedBytes(ini, first);
    ASSERT_NE(versionA, versionB);

    std::mt19937 random(12345);
    int seenA = 0, seenB = 0;
    // On a slow machine a save can outlast the shortest waits: more rounds with longer waits
    // then, until the kills have fallen after saves of both versions.
    for (int round = 0; round < 150 || ((seenA == 0 || seenB == 0) && round < 600); ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two versions in turn until killed, first the one not on disk, so every
            // whole save changes the file.
            SettingsStore store;
            store.openFile(fromUtf8(ini));
            for (bool flip = readFile(ini) != versionB;; flip = !flip)
                saveControls(store, flip ? second : first, lit(texts::kMainSection));
        }
        const useconds_t longest = useconds_t(4000) << (round / 150);
        ::usleep(std::uniform_int_distribution<useconds_t>(0, longest)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = readFile(ini);
        ASSERT_TRUE(now == versionA || now == versionB) << "round " << round << ":\n" << now;
        (now == versionA ? seenA : seenB)++;
    }
    // The kills fell both between saves of each version.
    EXPECT_GT(seenA, 0);
    EXPECT_GT(seenB, 0);
}

}  // namespace
}  // namespace pw::test
