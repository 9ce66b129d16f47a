#pragma once
// The rules that derive the option controls' enabled and visible states from the checked states.
// They change no checked state and no text, so they may run any number of times.

#include "platform/form.h"

namespace pw {

// Runs at creation and on a click of any split mode radio button or of 选择框识别编码.
void applySplitOptionStates(Form& form);
// Runs at creation and on a click of 选择框合并中间, 单选框使用文件 or 单选框使用字符串.
void applyMergeOptionStates(Form& form);

}  // namespace pw
