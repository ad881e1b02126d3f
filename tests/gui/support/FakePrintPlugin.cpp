// A stand-in for the printing plug-in: it leaves what it was handed on the main window. Built
// without WVR_FAKE_ENTRY it lacks the entry point the program looks for.
#include <QVariant>
#include <QWidget>

#include "app/PrintHost.h"

#ifdef WVR_FAKE_ENTRY
extern "C" Q_DECL_EXPORT void _LoadPrintForm(wvr::PrintHost* host) {
    QWidget* window = host->MainWindow();
    window->setProperty("printCalls", window->property("printCalls").toInt() + 1);
    window->setProperty("printRows", host->RowCount());
    window->setProperty("printFirstTitle", host->RowText(0, wvr::PrintHost::Title));
}
#else
extern "C" Q_DECL_EXPORT void LoadPrintForm(wvr::PrintHost*) {}
#endif
