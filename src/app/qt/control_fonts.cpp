#include "app/qt/control_fonts.h"

#include <QStringList>

namespace pw {

QFont uiFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QString::fromUtf8("宋体"), "SimSun", "NSimSun", "WenQuanYi Micro Hei",
                      "Noto Sans CJK SC", "Source Han Sans SC", "Droid Sans Fallback"});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace pw
