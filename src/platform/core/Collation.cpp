#include "platform/core/Collation.h"

#include <QLocale>

namespace wvr {

QCollator TextCollator(Qt::CaseSensitivity sensitivity) {
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    collator.setCaseSensitivity(sensitivity);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

}  // namespace wvr
