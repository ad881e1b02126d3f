// A stand-in for the printing plug-in, built in several kinds by these definitions:
// WVR_FAKE_VERSION=N  the interface version it exports (none without it);
// WVR_FAKE_ENTRY      it has the entry point, which leaves what it was handed on the main window
//                     or, with WVR_FAKE_THROW_STD / WVR_FAKE_THROW_INT, throws; with
//                     WVR_FAKE_THROW_IN_SLOT it first shows a dialog whose button "ThrowButton"
//                     throws when clicked.
#include <QDialog>
#include <QPushButton>
#include <QVariant>
#include <QWidget>
#include <stdexcept>

#include "app/PrintHost.h"

#ifdef WVR_FAKE_VERSION
extern "C" Q_DECL_EXPORT const int PrintHostVersion = WVR_FAKE_VERSION;
#endif

#ifdef WVR_FAKE_ENTRY
extern "C" Q_DECL_EXPORT void _LoadPrintForm(wvr::PrintHost* host) {
#if defined(WVR_FAKE_THROW_STD)
    throw std::runtime_error("用紙がありません");
#elif defined(WVR_FAKE_THROW_INT)
    throw 42;
#elif defined(WVR_FAKE_THROW_IN_SLOT)
    QDialog dialog(host->MainWindow());
    auto* button = new QPushButton("Print", &dialog);
    button->setObjectName("ThrowButton");
    QObject::connect(button, &QPushButton::clicked, [] { throw std::runtime_error("用紙がありません"); });
    dialog.exec();
#endif
    QWidget* window = host->MainWindow();
    window->setProperty("printCalls", window->property("printCalls").toInt() + 1);
    window->setProperty("printRows", host->RowCount());
    window->setProperty("printFirstTitle", host->RowText(0, wvr::PrintHost::Title));
}
#else
extern "C" Q_DECL_EXPORT void LoadPrintForm(wvr::PrintHost*) {}
#endif
