// The entry points of the label-printing plug-in: the interface version it was built against,
// and the call the program makes with its main window, waiting until the window closes.
#include "app/PrintHost.h"
#include "wvr_prn/PrintForm.h"

extern "C" Q_DECL_EXPORT const int PrintHostVersion = wvr::kPrintHostVersion;

extern "C" Q_DECL_EXPORT void _LoadPrintForm(wvr::PrintHost* host) {
    if (!host) return;
    wvr::label::TPrintForm form(*host, host->MainWindow());
    form.exec();
}
