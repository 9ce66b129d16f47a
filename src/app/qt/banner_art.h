#pragma once
// The banner's pictures, drawn at start-up so that no image files have to ship.

#include <QPixmap>

namespace pw {

// The maker's logo, 195 × 66.
QPixmap drawMakerLogo(bool hovered);
// 64 × 64 icons above the two banner links.
QPixmap drawSaveSettingsIcon(bool hovered);
QPixmap drawHomepageIcon(bool hovered);
// The program's window icon.
QPixmap drawProgramIcon(int size);

}  // namespace pw
