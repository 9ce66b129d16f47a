// Prints how long saving the main window's controls takes (no timed assertion: machines vary).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/control_table.h"
#include "app/memory_form.h"
#include "settings/control_states.h"
#include "support/temp_dir.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// Median milliseconds of saves that change a value each time, so each one replaces the file.
double medianSaveMs(const std::string& path) {
    MemoryForm form(mainWindowSpec());
    SettingsStore store;
    store.openFile(fromUtf8(path));
    std::vector<double> times;
    for (int round = 0; round < 21; ++round) {
        form.setChecked(ctl::kJoinWithData, round % 2 == 1);
        form.setText(ctl::kJoinText, fromUtf8("中间\r\n" + std::string(size_t(round), 'x')));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(saveControls(store, form, lit(texts::kMainSection)));
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + 10, times.end());
    return times[10];
}

TEST(SettingsSaveTime, SavingTheMainWindowIsQuickOnSmallAndLargeFiles) {
    TempDir dir;
    const double fresh = medianSaveMs(dir.path("fresh.ini"));
    // 4 MiB of other sections and junk lines, the main window's section in the middle.
    std::string padding;
    for (int i = 0; padding.size() < (2u << 20); ++i)
        padding += "[section" + std::to_string(i) + "]\r\nkey=" + std::string(60, 'v') +
                   "\r\njunk line without a key " + std::to_string(i) + "\r\n";
    writeFile(dir.path("large.ini"), padding + lit("[主界面]") + "\r\nx=1\r\n" + padding);
    const double large = medianSaveMs(dir.path("large.ini"));
    std::printf("save of the main window: %.2f ms on a new file, %.2f ms on a %.1f MiB file\n",
                fresh, large, double(readFile(dir.path("large.ini")).size()) / (1 << 20));
    RecordProperty("fresh_ms", std::to_string(fresh));
    RecordProperty("large_ms", std::to_string(large));
}

}  // namespace
}  // namespace pw::test
