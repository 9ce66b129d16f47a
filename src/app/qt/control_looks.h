#pragma once
// How controls show their texts: the face and the captions.

#include <QFile>
#include <QFont>
#include <QString>

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

// File paths to and from Qt go through the native name bytes, so no name is changed on the way.
inline QString qtPath(const Text& path) {
    return QFile::decodeName(QByteArray::fromStdString(toNativeName(path)));
}
inline Text fromQtPath(const QString& path) {
    return fromNativeName(QFile::encodeName(path).toStdString());
}

}  // namespace pw
