// A main window and its edit window over copies of corpus files, as the program starts them.
#pragma once

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStringList>
#include <QtTest>
#include <string>
#include <vector>

#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "dialogs/Tagedit.h"
#include "platform/core/Registry.h"
#include "support/TestSupport.h"

namespace wvr::test {

inline const std::string kMpeg = "mpeg/mpeg2_8k_22k_sjis_v1.mp3";    // Kind 1, Japanese ID3v1 texts
inline const std::string kNoTag = "mpeg/cbr128_44k_notag.mp3";       // Kind 1 without a tag
inline const std::string kWave = "riff/wave_mp3_ffmpeg_info.wav";    // Kind 2
inline const std::string kRmp = "riff/rmp3_full_info_script.rmp";    // Kind 3, every field
inline const std::string kVqf = "vqf/vqf_full_script.vqf";           // Kind 15
inline const std::string kId3v2 = "id3v2/v23_latin1_mutagen.mp3";    // Kind 4

// Every test starts from the defaults: nothing stored from an earlier test.
inline void ForgetStoredSettings() { RegistryKey::Delete(""); }

struct CorpusCopy {
    std::string corpus;
    std::string name;  // the copy's name in the temporary folder
};

class EditFixture {
public:
    explicit EditFixture(const std::vector<CorpusCopy>& files) {
        main.SetPrompter(&prompter);
        main.SetEditWindow(&edit);
        QStringList paths;
        for (const CorpusCopy& file : files)
            paths << QString::fromStdString(CopyCorpusFile(file.corpus, dir, file.name));
        main.AddChosenFiles(paths);
        main.GoToRow(0);
        main.show();
        edit.ShowWindow();
    }
    ~EditFixture() { main.SetEditWindow(nullptr); }

    Session& session() { return main.session(); }
    const TrackInfo& row(int i) { return main.session().rows[i]; }
    int RowOf(const std::string& name) {
        for (int i = 0; i < session().rows.size(); ++i) {
            if (row(i).FileName == name) return i;
        }
        return -1;
    }
    // Focuses the row in the list; the edit window follows.
    void Show(const std::string& name) { main.GoToRow(RowOf(name)); }
    std::string Path(const std::string& name) const { return dir / name; }

    // Makes the edit window the active one with the focus in `box`, as a user clicking it.
    bool Focus(QLineEdit* box) {
        edit.activateWindow();
        if (!QTest::qWaitForWindowActive(&edit)) return false;
        box->setFocus();
        return box->hasFocus();
    }
    QAction* EditItem(const char* name) { return edit.findChild<QAction*>(name); }

    TempDir dir;
    ScriptedPrompter prompter;
    MainWindow main;
    TForm1 edit{main};
};

// Typing as an input method hands it over: one committed text per character, so that
// Japanese text arrives the way it does from a real keyboard.
inline void Type(QLineEdit* box, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(box, c.toLatin1());
            continue;
        }
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QCoreApplication::sendEvent(box, &commit);
    }
}

}  // namespace wvr::test
