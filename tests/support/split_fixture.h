#pragma once
// A split job with options held as values and real files in a temporary folder.

#include <gtest/gtest.h>

#include "split/split_files.h"
#include "support/temp_dir.h"
#include "support/test_host.h"
#include "support/test_options.h"
#include "text/codepage.h"
#include "text/numeric_text.h"

namespace pw::test {

class SplitFixture : public ::testing::Test {
  protected:
    SplitSummary split(const std::vector<std::string>& nativePaths) {
        std::vector<Text> files;
        for (const auto& p : nativePaths) files.push_back(fromUtf8(p));
        SplitContext ctx{{host, posixFileSystem(), systemClock()}, options, splitHost};
        return splitFiles(ctx, files);
    }
    void byCount(const std::string& count) {
        options.set.mode = SplitMode::Parts;
        options.set.partCount = textToInt(fromUtf8(count));
    }
    void bySize(const std::string& number, int unit) {
        options.set.mode = SplitMode::Bytes;
        options.set.partSizeNumber = textToFloat(fromUtf8(number));
        options.set.partSizeUnit = unit;
    }

    void byLines(const std::string& low, const std::string& high) {
        options.set.mode = SplitMode::Lines;
        options.set.lines = {textToInt(fromUtf8(low)), textToInt(fromUtf8(high))};
    }
    void byChars(const std::string& low, const std::string& high) {
        options.set.mode = SplitMode::Characters;
        options.set.chars = {textToInt(fromUtf8(low)), textToInt(fromUtf8(high))};
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
    TestJobHost host;
    TestSplitOptions options;
    TestSplitHost splitHost{options};
    StopFlag& stop = host.stop;
};

}  // namespace pw::test
