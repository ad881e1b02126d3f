#include "app/ui/PrintPlugin.h"

#include <QDir>

#include "app/PrintHost.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"

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
    // A full path: the loader never looks in the current folder or the library search path.
    library_.setFileName(QDir(programFolder).absoluteFilePath(QStringLiteral("dll/wvr_prn")));
    return library_.load();
}

bool PrintPlugin::Run(MainWindow& window) {
    auto entry = reinterpret_cast<LoadPrintFormFunction>(library_.resolve(kLoadPrintFormName));
    if (!entry) return false;
    MainWindowHost host(window);
    entry(&host);
    return true;
}

void PrintPlugin::Release() {
    if (library_.isLoaded()) library_.unload();
}

}  // namespace wvr
