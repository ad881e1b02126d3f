// Qt's own texts (the file and folder choosers, a text box's menu, standard buttons) in the
// desktop's language when Qt has a catalogue for it, and otherwise in Japanese, the language
// of the rest of the program.
#pragma once

class QLocale;
class QTranslator;

namespace wvr {

// Loads the catalogue for `desktop` into `translator`; false when no catalogue is installed.
bool LoadQtCatalogue(QTranslator& translator, const QLocale& desktop);

// At start: loads the catalogue for the desktop's locale and installs it for the application.
void InstallQtCatalogue();

}  // namespace wvr
