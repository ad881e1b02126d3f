#include "app/ui/QtCatalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace wvr {

bool LoadQtCatalogue(QTranslator& translator, const QLocale& desktop) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // A desktop without a language of its own ("C", "POSIX") gets the program's.
    if (desktop.language() != QLocale::C && translator.load(desktop, "qtbase", "_", folder)) return true;
    return translator.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_", folder);
}

void InstallQtCatalogue() {
    auto* translator = new QTranslator(qApp);
    if (LoadQtCatalogue(*translator, QLocale::system())) QCoreApplication::installTranslator(translator);
    else delete translator;
}

}  // namespace wvr
