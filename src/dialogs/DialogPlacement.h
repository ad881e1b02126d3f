// Where a tool dialog opens: centred over the main window.
#pragma once

class QWidget;

namespace wvr {

// left = owner left + (owner width - dialog width) * 0.5, top likewise, each truncated.
void CenterOver(QWidget* dialog, const QWidget* owner);

}  // namespace wvr
