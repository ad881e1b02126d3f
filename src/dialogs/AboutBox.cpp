#include "dialogs/AboutBox.h"

#include "dialogs/DialogPlacement.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace wvr {

// The maker's page; a reserved name until the project has a public home.
constexpr const char* kHomePage = "https://brambly.example/wvr/";

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* name = new QLabel(QStringLiteral("wvr ver 1.10"), this);
    name->setObjectName("ProductName");
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    name->setFont(big);

    auto* maker = new QLabel(QStringLiteral("Copyright (C) 2026 brambly"), this);
    maker->setObjectName("Copyright");

    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">ホームページへのリンク</a>").arg(kHomePage), this);
    link->setObjectName("HomePageLink");
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(maker, 0, Qt::AlignHCenter);
    layout->addWidget(link, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    // Esc closes through QDialog::reject, Enter presses the default button.
    CenterOver(this, parent);
}

}  // namespace wvr
