#pragma once
// What a caller asks of the input dialog: the arguments of showInputDialog. Texts are code-page
// text; line breaks are CR LF.

#include "platform/text_bytes.h"

namespace pw {

struct InputDialogArgs {
    Text initialText;
    Text hint;
    bool hintGiven = false;  // without a hint the hint line stays empty
    Text title;              // empty: "输入：" or "信息："
    bool ownedByWindow = false;
    bool inputMode = true;  // false: the text is only shown, with a close button
    bool confirm = false;   // information mode with OK and Cancel: a question about the text
    int bodyInputMode = 0;  // 0 normal, 1 read-only
    bool maximized = false;
    int bodyWidth = 0;  // 0: the form's size
    int bodyHeight = 0;
    bool bothScrollBars = false;
    int margin = 0;         // below 1: 5
    int importButtons = 0;  // 0 none, 1 contents, 2 file names, 3 both
};

}  // namespace pw
