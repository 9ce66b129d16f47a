#pragma once
// Saving and restoring the states of a window's controls. Which controls take part, and under
// which key, follows from each control's name: 按钮 (its tag, under name + ".标记"), 编辑框 (its
// text), 选择框 and 单选框 (ticked or not), 组合框 (the selected index; an editable one's text).

#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace pw {

struct ControlSkips {
    std::vector<std::string> names;       // controls left out
    std::vector<std::string> containers;  // controls directly inside these are left out
};

// Writes every taking-part control into `section` (unless empty, then the current one) and
// brings the file up to date. False when something could not reach the disk.
bool saveControls(SettingsStore& store, Form& form, const Text& section,
                  const ControlSkips& skips = {});

// Sets every taking-part control from `section`; a missing or empty value leaves it as it is.
void restoreControls(SettingsStore& store, Form& form, const Text& section,
                     const ControlSkips& skips = {});

}  // namespace pw
