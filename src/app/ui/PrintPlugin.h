// The optional label-printing plug-in: "dll/wvr_prn" in the program's folder, loaded once at
// start and released at close, and the host view of the main window handed to it.
#pragma once

#include <QLibrary>
#include <QString>
#include <memory>

namespace wvr {

class MainWindow;

class PrintPlugin {
public:
    PrintPlugin();
    ~PrintPlugin();

    // Loads "dll/wvr_prn" from `programFolder` only; false when it is not there or does not load.
    bool Load(const QString& programFolder);
    bool IsLoaded() const { return library_.isLoaded(); }
    // Looks the entry point up (each time) and calls it with the window; false when the
    // library lacks it.
    bool Run(MainWindow& window);
    void Release();

private:
    QLibrary library_;
};

}  // namespace wvr
