#include "platform/form.h"

namespace pw {

const ControlSpec* WindowSpec::find(std::string_view name) const {
    for (const auto& c : controls)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace pw
