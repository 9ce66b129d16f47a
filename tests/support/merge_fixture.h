#pragma once
// A merge against the in-memory window and real files in a temporary folder.

#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/memory_form.h"
#include "merge/merge_files.h"
#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {

class MergeFixture : public ::testing::Test {
  protected:
    // Outputs go beside their files unless a test asks for the parent folder.
    MergeFixture() : form(mainWindowSpec()) { form.setChecked("选择框父目录保存", false); }

    MergeSummary mergeFiles(const std::vector<std::string>& nativePaths) {
        std::vector<Text> files;
        for (const auto& p : nativePaths) files.push_back(fromUtf8(p));
        MergeSummary summary;
        MergeContext ctx{{host, *fs, systemClock()}, options};
        mergeBatch(ctx, files, summary);
        return summary;
    }
    MergeSummary mergeDir(const std::string& nativeFolder) {
        MergeSummary summary;
        MergeContext ctx{{host, *fs, systemClock()}, options};
        mergeFolder(ctx, fromUtf8(nativeFolder), summary);
        return summary;
    }
    void useText(const std::string& utf8) {
        form.setChecked("选择框合并中间", true);
        form.setChecked("单选框使用字符串", true);
        form.setText("编辑框字符串", fromUtf8(utf8));
    }
    void useFile(const std::string& nativePath) {
        form.setChecked("选择框合并中间", true);
        form.setChecked("单选框使用文件", true);
        form.setText("编辑框文件路径", fromUtf8(nativePath));
    }

    TempDir dir;
    MemoryForm form;
    FormMergeOptions options{form};
    FileSystem* fs = &posixFileSystem();
    StopFlag stop = 0;
    FormJobHost host{form, stop};
};

}  // namespace pw::test
