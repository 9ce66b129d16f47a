#pragma once
// The main window's controls as data: the Qt window and the in-memory form are both built from it.

#include "platform/form.h"

namespace pw {

const WindowSpec& mainWindowSpec();

}  // namespace pw
