#include "app/ui/PrintPlugin.h"

#include <QDir>
#include <exception>
#include <string>

#include "app/PrintHost.h"
#include "app/ui/Application.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

class MainWindowHost final : public PrintHost {
public:
    explicit MainWindowHost(wvr::MainWindow& window) : window_(window) {}

    QWidget* MainWindow() const override { return &window_; }
    int RowCount() const override { return rows().size(); }
    QString RowText(int row, int text) const override {
        if (row < 0 || row >= rows().size()) return {};
        const TrackInfo& track = rows()[row];
        if (text >= FileName && text < FileName + kColumnCount) return FromSjis(track.Column(text));
        switch (text) {
        case Path: return FromSjis(track.Path);
        case Seconds: return FromSjis(track.Seconds);
        case InfoText: return FromSjis(track.InfoText);
        default: return {};
        }
    }
    bool RowChecked(int row) const override { return row >= 0 && row < rows().size() && rows()[row].Checked; }
    int FocusedRow() const override { return window_.FocusedRow(); }

private:
    const RowList& rows() const { return window_.session().rows; }
    wvr::MainWindow& window_;
};

}  // namespace

PrintPlugin::PrintPlugin() = default;

PrintPlugin::~PrintPlugin() { Release(); }

bool PrintPlugin::Load(const QString& programFolder) {
    Release();
    // Full paths: the loader never looks in the current folder or the library search path.
    const QDir folder(programFolder);
    for (const char* relative : {"dll/wvr_prn", "../lib/wvr/dll/wvr_prn"}) {
        library_.setFileName(QDir::cleanPath(folder.absoluteFilePath(QString::fromLatin1(relative))));
        if (library_.load()) return true;
    }
    return false;
}

void PrintPlugin::Run(MainWindow& window, Prompter& prompter) {
    // A plug-in built against another interface would read the host wrongly: refuse it before
    // calling anything in it.
    const auto* version = reinterpret_cast<const int*>(library_.resolve(kPrintHostVersionName));
    if (!version || *version != kPrintHostVersion) {
        const std::string found = version ? std::to_string(*version) : std::string("なし");
        prompter.Error("印刷プラグインのバージョン (" + found + ") がこのプログラムのもの (" +
                       std::to_string(kPrintHostVersion) + ") と違うため、使えません。\n" +
                       library_.fileName().toStdString());
        return;
    }
    auto entry = reinterpret_cast<LoadPrintFormFunction>(library_.resolve(kLoadPrintFormName));
    if (!entry) {
        prompter.Plain("関数ポインタの取得に失敗しました");
        return;
    }
    MainWindowHost host(window);
    // Whatever the plug-in throws stops here, from its entry point or from a slot of its own
    // windows, which Qt delivers inside the call: its failure is not the program's end.
    const auto report = [&prompter](std::exception_ptr thrown) {
        try {
            std::rethrow_exception(thrown);
        } catch (const std::exception& error) {
            prompter.Error(std::string("印刷プラグインでエラーが発生しました。\n") + error.what());
        } catch (...) {
            prompter.Error("印刷プラグインでエラーが発生しました。");
        }
    };
    Application::HandlerScope inSlots(report);
    try {
        entry(&host);
    } catch (...) {
        report(std::current_exception());
    }
}

void PrintPlugin::Release() {
    if (library_.isLoaded()) library_.unload();
}

}  // namespace wvr
