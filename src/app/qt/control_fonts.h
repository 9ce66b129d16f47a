#pragma once

#include <QFont>

namespace pw {

// The face the window was laid out for, with CJK faces found on Linux behind it.
QFont uiFont(int pixelSize, bool bold);

}  // namespace pw
