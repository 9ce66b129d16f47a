// The in-memory form the app's tests and jobs run against: it must start as the window does.

#include "app/memory_form.h"

#include <gtest/gtest.h>

#include "app/control_table.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

TEST(MemoryForm, StartsAsTheWindowAndAnswersFromItsQueue) {
    MemoryForm form(mainWindowSpec());
    EXPECT_TRUE(form.checked(ctl::kByParts));
    EXPECT_EQ(form.text(ctl::kPartCount), "100");
    EXPECT_EQ(form.text(ctl::kJoinText), lit("我是中间字符串"));
    EXPECT_EQ(form.selectedIndex(ctl::kPartSizeUnit), 3);
    EXPECT_FALSE(form.visible(ctl::kDetectEncoding));
    EXPECT_TRUE(form.checked(ctl::kSplitIntoSubfolder));
    EXPECT_TRUE(form.checked(ctl::kMergeIntoParent));
    EXPECT_EQ(form.controlNames().size(), mainWindowSpec().controls.size());
    EXPECT_EQ(form.controlNames().front(), ctl::kBanner);

    form.setChecked(ctl::kByBytes, true);  // one radio per group
    EXPECT_FALSE(form.checked(ctl::kByParts));
    EXPECT_TRUE(form.checked(ctl::kJoinWithText));  // the merge group is another group
    form.setSelectedIndex(ctl::kPartSizeUnit, 7);
    EXPECT_EQ(form.selectedIndex(ctl::kPartSizeUnit), -1);

    EXPECT_EQ(form.message("q", Buttons::YesNo), Answer::No);
    EXPECT_EQ(form.message("q", Buttons::OkCancel), Answer::Cancel);
    form.answers = {Answer::Yes};
    EXPECT_EQ(form.message("q", Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(form.messages.size(), 3u);
}

}  // namespace
}  // namespace pw::test
