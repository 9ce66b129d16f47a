#pragma once
// How controls show their texts: the face and the captions.

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QUrl>

#include "platform/native_names.h"
#include "text/codepage.h"

namespace pw {

// The face the window was laid out for, with CJK faces found on Linux behind it.
QFont uiFont(int pixelSize, bool bold);

// Button and group box captions treat "&" as a shortcut marker. Captions are the jobs' run
// states and must read back exactly, so "&" is doubled on the way in, and markers (also those a
// desktop adds by itself) are dropped on the way out.
QString captionToQt(const QString& caption);
QString captionFromQt(const QString& shown);

// Code-page text to and from Qt strings.
inline QString qt(const Text& text) {
    return QString::fromStdString(toUtf8(text));
}
inline Text fromQt(const QString& s) {
    return fromUtf8(s.toStdString());
}

// The text of a multi-line box: CR LF line breaks outside, LF inside the widget.
Text multiLineFromQt(const QString& s);
QString multiLineToQt(const Text& text);

// File paths to and from Qt strings. A byte of a native name that is no UTF-8 stays the
// private-use character that stands for it, so every path comes back exactly as it went.
inline QString qtPath(const Text& path) {
    return QString::fromStdString(toUtf8(path));
}
inline Text fromQtPath(const QString& path) {
    return fromUtf8(path.toStdString());
}

// File addresses carry the native name's bytes (a dropped file's, or one Qt opens).
inline QUrl qtFileUrl(const Text& path) {
    return QUrl::fromEncoded("file://" +
                             QByteArray::fromStdString(toNativeName(path)).toPercentEncoding("/"));
}
inline Text fromQtUrl(const QUrl& url) {
    return fromNativeName(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
}

}  // namespace pw
