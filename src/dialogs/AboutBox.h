// The version box "ﾊﾞｰｼﾞｮﾝ情報".
#pragma once

#include <QDialog>

namespace wvr {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);
};

// Centres a dialog over its owner window, as every tool dialog opens.
void CenterOver(QWidget* dialog, const QWidget* owner);

}  // namespace wvr
