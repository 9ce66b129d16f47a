#pragma once
// A split job against the in-memory window and real files in a temporary folder.

#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/memory_form.h"
#include "split/split_files.h"
#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {

class SplitFixture : public ::testing::Test {
  protected:
    SplitFixture() : form(mainWindowSpec()) {}

    SplitSummary split(const std::vector<std::string>& nativePaths) {
        std::vector<Text> files;
        for (const auto& p : nativePaths) files.push_back(fromUtf8(p));
        SplitContext ctx{{host, posixFileSystem(), systemClock()}, options};
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

    void byLines(const std::string& low, const std::string& high) {
        form.setChecked("单选框按行数", true);
        form.setText("编辑框行数1", fromUtf8(low));
        form.setText("编辑框行数2", fromUtf8(high));
    }
    void byChars(const std::string& low, const std::string& high) {
        form.setChecked("单选框按字符数", true);
        form.setText("编辑框字数1", fromUtf8(low));
        form.setText("编辑框字数2", fromUtf8(high));
    }
    // The contents of base_1.ext, base_2.ext, ... in `folder` (a name inside the temporary
    // folder), up to the first number that is missing.
    std::vector<std::string> parts(const std::string& folder, const std::string& base,
                                   const std::string& ext = ".txt") {
        std::vector<std::string> out;
        for (int k = 1;; ++k) {
            const std::string p = dir.path(folder + "/" + base + "_" + std::to_string(k) + ext);
            if (!fileExists(p)) return out;
            out.push_back(readFile(p));
        }
    }

    TempDir dir;
    MemoryForm form;
    FormSplitOptions options{form};
    StopFlag stop = 0;
    FormJobHost host{form, stop};
};

}  // namespace pw::test
