// wvr: start-up. The main window reads the settings and builds its menus; the paths on the
// command line are added; the edit window is created; the event loop runs.
#include <QFont>
#include <QIcon>

#include "app/ui/Application.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtCatalogue.h"
#include "dialogs/Tagedit.h"

int main(int argc, char** argv) {
    wvr::Application app(argc, argv);
    // No display name: the desktop would add it to every title ("Quit — wvr", "Edit — wvr").
    QApplication::setApplicationName("wvr");
    QApplication::setWindowIcon(QIcon(":/wvr.svg"));
    wvr::InstallQtCatalogue();
    // The stored font names are those of Windows; map them onto the Japanese fonts here.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP"});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {"IPAGothic", "Noto Sans Mono CJK JP"});

    wvr::MainWindow window;
    window.show();
    window.OfferRecovery();
    window.AddCommandLine(QApplication::arguments().mid(1));
    wvr::TForm1 editWindow(window);
    window.SetEditWindow(&editWindow);
    return QApplication::exec();
}
