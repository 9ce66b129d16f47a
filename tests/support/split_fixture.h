#pragma once
// A split job against the in-memory window and real files in a temporary folder.

#include <gtest/gtest.h>

#include "app/control_table.h"
#include "platform/memory_form.h"
#include "split/split_files.h"
#include "support/temp_dir.h"

namespace pw::test {

class SplitFixture : public ::testing::Test {
  protected:
    SplitFixture() : form(mainWindowSpec()) {}

    SplitSummary split(const std::vector<std::string>& nativePaths) {
        std::vector<Text> files;
        for (const auto& p : nativePaths) files.push_back(fromUtf8(p));
        EngineContext ctx{form, posixFileSystem(), systemClock(), stop};
        return splitFiles(ctx, files);
    }
    void byCount(const std::string& count) {
        form.setChecked("单选框按份数", true);
        form.setText("编辑框份数", fromUtf8(count));
    }
    void bySize(const std::string& number, int unit) {
        form.setChecked("单选框按字节", true);
        form.setText("编辑框字节", fromUtf8(number));
        form.setSelectedIndex("组合框字节单位", unit);
    }

    TempDir dir;
    MemoryForm form;
    int stop = 0;
};

}  // namespace pw::test
