// Qt's own dialogs speak Japanese, or the desktop's language when Qt has it.
#include <QLocale>
#include <QTranslator>
#include <QtTest>

#include "app/ui/QtCatalogue.h"

using namespace wvr;

class QtCatalogueTest : public QObject {
    Q_OBJECT
private:
    // The caption of the file chooser's folder field, as the catalogue gives it.
    static QString LookIn(const QLocale& desktop) {
        QTranslator translator;
        if (!LoadQtCatalogue(translator, desktop)) return {};
        return translator.translate("QFileDialog", "Look in:");
    }

private slots:
    void japaneseWithoutADesktopLanguage() {
        const QString japanese = LookIn(QLocale(QLocale::Japanese, QLocale::Japan));
        QVERIFY2(!japanese.isEmpty() && japanese != "Look in:", qPrintable(japanese));
        QCOMPARE(LookIn(QLocale::c()), japanese);
    }

    void theDesktopsLanguageWhereQtHasIt() {
        const QString german = LookIn(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(!german.isEmpty());
        QVERIFY(german != LookIn(QLocale::c()));
        // A language without a catalogue falls back to Japanese.
        QCOMPARE(LookIn(QLocale(QLocale::Swahili, QLocale::Kenya)), LookIn(QLocale::c()));
    }
};

QTEST_MAIN(QtCatalogueTest)
#include "qt_catalogue_test.moc"
