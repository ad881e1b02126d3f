// The version box "ﾊﾞｰｼﾞｮﾝ情報".
#pragma once

#include <QDialog>

namespace wvr {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);
};

}  // namespace wvr
