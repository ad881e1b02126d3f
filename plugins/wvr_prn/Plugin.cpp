// The entry point of the label-printing plug-in: the program calls it with its main window
// and waits until the window closes.
#include "app/PrintHost.h"
#include "wvr_prn/PrintForm.h"

extern "C" Q_DECL_EXPORT void _LoadPrintForm(wvr::PrintHost* host) {
    if (!host) return;
    wvr::label::TPrintForm form(*host, host->MainWindow());
    form.exec();
}
