// The interface between wvr and its label-printing plug-in.
//
// At start the program loads the library "wvr_prn" (wvr_prn.so, wvr_prn.dll…) from the
// folder "dll" beside it, else from "lib/wvr/dll" of the installation (../lib/wvr/dll from
// the program's folder). When the user chooses "印刷(&P)..." it reads the number
//
//     extern "C" Q_DECL_EXPORT const int PrintHostVersion = wvr::kPrintHostVersion;
//
// that the library must export, refuses it when the number differs from its own, else looks up
//
//     extern "C" Q_DECL_EXPORT void _LoadPrintForm(wvr::PrintHost* host);
//
// and calls it with the main window; the program waits until the call returns. The host
// stays valid for the length of the call only. Texts come as Unicode, as the list shows them.
// An exception leaving the call is caught and shown as an error; the program goes on.
#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

namespace wvr {

// The version of this interface. Raise it whenever anything in this file changes shape, so
// that a plug-in built against another version is refused instead of called.
inline constexpr int kPrintHostVersion = 1;
inline constexpr const char* kPrintHostVersionName = "PrintHostVersion";

class PrintHost {
public:
    // The texts of a row: the fifteen list columns, then the file's path, its play time in
    // whole seconds (decimal) and its audio properties.
    enum Text : int {
        FileName = 0, Title, Artist, Album, Comment, Date, Genre, Copyright, Engineer, Source, Software,
        Keywords, Technician, Lyrics, Commission,
        Path = 100, Seconds, InfoText,
    };

    // The main window, the parent for the plug-in's own windows.
    virtual QWidget* MainWindow() const = 0;
    virtual int RowCount() const = 0;
    virtual QString RowText(int row, int text) const = 0;
    virtual bool RowChecked(int row) const = 0;
    // The row with the keyboard focus; -1 when there is none.
    virtual int FocusedRow() const = 0;

protected:
    ~PrintHost() = default;
};

using LoadPrintFormFunction = void (*)(PrintHost* host);
inline constexpr const char* kLoadPrintFormName = "_LoadPrintForm";

}  // namespace wvr
