#include "support/plain_form.h"

#include <stdexcept>

namespace pw::test {

PlainForm::Control& PlainForm::add(std::string name, std::string container) {
    Control& c = controls_.emplace_back();
    c.name = std::move(name);
    c.container = std::move(container);
    return c;
}

void PlainForm::setSelectedIndex(std::string_view name, int index) {
    Control& c = at(name);
    c.selected = index >= 0 && index < c.items ? index : -1;
}

std::vector<std::string> PlainForm::controlNames() const {
    std::vector<std::string> names;
    for (const Control& c : controls_) names.push_back(c.name);
    return names;
}

void PlainForm::processEvents() {
    ++eventRounds;
    if (onProcessEvents) {
        ++hookRuns_;
        onProcessEvents();
    }
}

// A name the test never added is its own mistake: said at once rather than read as empty.
PlainForm::Control& PlainForm::at(std::string_view name) {
    for (Control& c : controls_)
        if (c.name == name) return c;
    throw std::out_of_range("no control " + std::string(name));
}

const PlainForm::Control& PlainForm::at(std::string_view name) const {
    return const_cast<PlainForm*>(this)->at(name);
}

}  // namespace pw::test
