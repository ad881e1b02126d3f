// The one place where the screen meets the program's CP932 texts and native paths.
#pragma once

#include <QFile>
#include <QString>
#include <string>

#include "platform/base/Cp932.h"

namespace wvr {

inline QString FromSjis(const std::string& cp932) { return QString::fromStdString(cp932::ToUtf8(cp932)); }
inline std::string ToSjis(const QString& text) { return cp932::FromUtf8(text.toStdString()); }
inline QString FromUtf8(const std::string& utf8) { return QString::fromStdString(utf8); }

// A text shown in a box, back as CP932: the stored bytes while the box still shows them, so
// that bytes the screen cannot show survive when the user did not touch the text.
inline std::string ToSjisKeeping(const QString& shown, const std::string& stored) {
    return shown == FromSjis(stored) ? stored : ToSjis(shown);
}

// A file-system path (native bytes) on the screen and back.
inline QString FromNativePath(const std::string& native) { return QFile::decodeName(QByteArray::fromStdString(native)); }
inline std::string ToNativePath(const QString& shown) { return QFile::encodeName(shown).toStdString(); }

}  // namespace wvr
