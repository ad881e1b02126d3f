#include "app/ui/DesktopStarter.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "app/ui/WindowMinimizer.h"

namespace wvr {

LaunchOutcome DesktopStarter::OpenWithDefault(const std::string& nativeFile, bool /*minimized*/) {
    // The desktop chooses the program and how its window shows.
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(nativeFile)))) return {true, 0, {}};
    return {false, 0, "デスクトップの関連付けを使えません。"};
}

LaunchOutcome DesktopStarter::StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                                           const std::string& workingFolder, bool minimized) {
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    process.setArguments(args);
    if (!workingFolder.empty()) process.setWorkingDirectory(QString::fromStdString(workingFolder));
    qint64 pid = 0;
    if (process.startDetached(&pid)) {
        if (minimized) MinimizeWindowsOf(pid);
        return {true, pid, {}};
    }
    return {false, 0, process.errorString().toStdString()};
}

}  // namespace wvr
