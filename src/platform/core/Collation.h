// Locale-aware comparison of texts, as the list's sort and the genre lookup need it.
#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

namespace wvr {

// The collator of the program's texts (Japanese), case-sensitive or not.
QCollator TextCollator(Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

}  // namespace wvr
