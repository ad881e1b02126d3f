// The optional label-printing plug-in: "wvr_prn" in "dll" beside the program or in the
// installation's "lib/wvr/dll", loaded once at start and released at close, and the host view
// of the main window handed to it.
#pragma once

#include <QLibrary>
#include <QString>
#include <memory>

namespace wvr {

class MainWindow;
class Prompter;

class PrintPlugin {
public:
    PrintPlugin();
    ~PrintPlugin();

    // Loads "dll/wvr_prn" from `programFolder`, else "../lib/wvr/dll/wvr_prn" from it; false
    // when neither is there or loads.
    bool Load(const QString& programFolder);
    bool IsLoaded() const { return library_.isLoaded(); }
    // Checks the plug-in's interface version, looks the entry point up (each time) and calls
    // it with the window. A wrong version, a missing entry point and an exception thrown by the
    // plug-in are said through `prompter`; the program goes on in every case.
    void Run(MainWindow& window, Prompter& prompter);
    void Release();

private:
    QLibrary library_;
};

}  // namespace wvr
