#pragma once
// A merge with options held as values and real files in a temporary folder.

#include <gtest/gtest.h>

#include "merge/merge_files.h"
#include "support/temp_dir.h"
#include "support/test_host.h"
#include "support/test_options.h"
#include "text/codepage.h"

namespace pw::test {

class MergeFixture : public ::testing::Test {
  protected:
    // Outputs go beside their files unless a test asks for the parent folder.
    MergeFixture() { options.set.intoParentFolder = false; }

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
        options.set.joinWith = JoinWith::Text;
        options.set.joinText = fromUtf8(utf8);
    }
    void useFile(const std::string& nativePath) {
        options.set.joinWith = JoinWith::File;
        options.set.joinFilePath = fromUtf8(nativePath);
    }

    TempDir dir;
    TestJobHost host;
    TestMergeOptions options;
    FileSystem* fs = &posixFileSystem();
    StopFlag& stop = host.stop;
};

}  // namespace pw::test
