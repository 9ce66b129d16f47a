#include "app/qt/control_looks.h"

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

Text multiLineFromQt(const QString& s) {
    QString out = s;
    return fromQt(out.replace(QLatin1String("\n"), QLatin1String("\r\n")));
}

QString multiLineToQt(const Text& text) {
    return qt(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString captionToQt(const QString& caption) {
    QString s = caption;
    return s.replace('&', QLatin1String("&&"));
}

QString captionFromQt(const QString& shown) {
    QString out;
    out.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == '&' && i + 1 < shown.size()) ++i;
        out += shown[i];
    }
    return out;
}

}  // namespace pw
