// The stored fonts on the screen: a FontSetting as a QFont, and its colour, which is kept as
// the platform stores colours (0x00BBGGRR), as a QColor and back.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

#include "app/commands/Settings.h"
#include "app/ui/Text.h"

namespace wvr {

// `base` with the stored family, and the stored size when it has one.
inline QFont FontFrom(const FontSetting& setting, const QFont& base) {
    QFont font = base;
    font.setFamily(FromSjis(setting.name));
    if (setting.size > 0) font.setPointSize(setting.size);
    return font;
}

inline QColor ColorFrom(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The colour texts are drawn in: the stored one, or `themeText` when none was chosen.
inline QColor TextColorFrom(uint32_t stored, const QColor& themeText) {
    return stored == kThemeTextColor ? themeText : ColorFrom(stored);
}

inline uint32_t BgrFrom(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | static_cast<uint32_t>(color.green()) << 8 |
           static_cast<uint32_t>(color.blue()) << 16;
}

}  // namespace wvr
