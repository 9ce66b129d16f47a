#pragma once
// The windows' controls as data: the Qt windows and the in-memory form are built from them.

#include "platform/form.h"

namespace pw {

const WindowSpec& mainWindowSpec();
const WindowSpec& inputDialogSpec();

}  // namespace pw
