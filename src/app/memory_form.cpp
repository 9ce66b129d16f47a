#include "app/memory_form.h"

#include <cstdio>
#include <cstdlib>

#include "text/codepage.h"

namespace pw {

MemoryForm::MemoryForm(const WindowSpec& spec) : spec_(spec) {
    controls_.reserve(spec.controls.size());
    for (const auto& c : spec.controls) {
        index_.emplace(std::string(c.name), controls_.size());
        controls_.push_back({&c, c.checked, fromUtf8(c.text), {}, c.selected, true, !c.hidden});
    }
}

MemoryForm::Control& MemoryForm::at(std::string_view name) {
    auto it = index_.find(name);
    if (it == index_.end()) {
        // A misspelt control name is a programming error; stop loudly so a test shows it.
        std::fprintf(stderr, "no control named %.*s\n", int(name.size()), name.data());
        std::abort();
    }
    return controls_[it->second];
}

const MemoryForm::Control& MemoryForm::at(std::string_view name) const {
    return const_cast<MemoryForm*>(this)->at(name);
}

void MemoryForm::setChecked(std::string_view name, bool on) {
    Control& c = at(name);
    if (on && c.spec->kind == ControlKind::Radio) {
        for (auto& other : controls_)
            if (other.spec->kind == ControlKind::Radio &&
                other.spec->container == c.spec->container)
                other.checked = false;
    }
    c.checked = on;
}

void MemoryForm::setSelectedIndex(std::string_view name, int index) {
    Control& c = at(name);
    c.selected = index >= 0 && index < int(c.spec->items.size()) ? index : -1;
    // As a window's combo box does: choosing an item puts it into the typed text.
    if (c.spec->editable && c.selected >= 0) c.text = fromUtf8(c.spec->items[size_t(c.selected)]);
}

void MemoryForm::setFocus(std::string_view name) {
    at(name);
    focus = std::string(name);
}

std::vector<std::string> MemoryForm::controlNames() const {
    std::vector<std::string> names;
    for (const auto& c : spec_.controls) names.emplace_back(c.name);
    return names;
}

bool MemoryForm::showInputDialog(const InputDialogArgs& args, Text& result) {
    inputDialogs.push_back(args);
    std::optional<Text> answer;
    if (!inputAnswers.empty()) {
        answer = std::move(inputAnswers.front());
        inputAnswers.pop_front();
    }
    if (answer) result = *answer;
    return answer.has_value();
}

void MemoryForm::processEvents() {
    ++eventRounds;
    if (onProcessEvents) {
        ++hookRuns_;
        onProcessEvents();
    }
}

}  // namespace pw
