// The options dialog and the help, as the main window opens them.
#include <QApplication>

#include "app/commands/AddFiles.h"
#include "app/commands/Options.h"
#include "app/commands/ReadAgain.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/FontSetting.h"
#include "app/ui/MainWindow.h"
#include "app/ui/TrackTableModel.h"
#include "app/ui/TrackListView.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Option.h"

namespace wvr {

void MainWindow::Option1Click() {
    Settings& settings = session_.settings;
    const std::array<QFont, 3> fonts = {font(), FontFrom(settings.fonts[1], QApplication::font()), listView_->font()};
    // Boxes of the dialog's own unless a test scripts the answers.
    TForm2 dialog(settings, fonts, prompter_ == &boxes_ ? nullptr : prompter_, this);
    if (dialog.exec() == QDialog::Accepted) {
        const TagReader before = ReaderOfSettings(settings);
        ApplyOptions(settings, dialog.edited());
        ApplyFonts();
        // The rows show what the next write acts on: read again by the reader now chosen.
        if (ReaderOfSettings(settings) != before) {
            ReadRowsAgain(session_, ReaderOfSettings(settings), *prompter_, this);
            ReloadEditWindow();
        }
    }
    FollowOptions();
}

void MainWindow::FollowOptions() {
    model_->SetFileNameEditable(session_.settings.Get(Option::EdtFileName));
    if (editWindow_) editWindow_->FollowSettings();
    UpdateStatusBar();
}

void MainWindow::Contents1Click() { HelpViewer::Open(this, kMainHelpTopic); }

}  // namespace wvr
