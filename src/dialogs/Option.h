// The options dialog "設定": seven pages over a working copy of the settings. Nothing reaches
// the program's settings unless the user presses OK; the caller then applies `edited()`.
#pragma once

#include <QDialog>
#include <array>

#include "app/commands/Settings.h"
#include "app/ui/QtPrompter.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace wvr {

// A font's size in points, also for a font given in pixels.
int PointSize(const QFont& font);

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // `fonts`: the current fonts of the main window, the edit window and the list. Messages
    // go through `prompter`, or through boxes over the dialog when it is null.
    TForm2(const Settings& settings, const std::array<QFont, 3>& fonts, Prompter* prompter, QWidget* parent);

    // After OK: the settings as the dialog showed them (apply them with ApplyOptions).
    const Settings& edited() const { return edited_; }

    // Handlers of the buttons, by the names of their controls.
public slots:
    void OKBtnClick();
    void HelpBtnClick();
    void Button1Click();   // pattern: add
    void Button2Click();   // pattern: delete
    void Button3Click();   // exception: add
    void Button4Click();   // exception: delete
    void Button5Click();   // player: choose
    void Button6Click();   // lyrics folder: choose
    void Button7Click();   // filter: add
    void Button8Click();   // filter: delete
    void Button9Click();   // CSV: add
    void Button10Click();  // CSV: delete
    void Button11Click();  // CSV: up
    void Button12Click();  // CSV: down

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // OptionPages.cpp
    void BuildPages();
    QWidget* BuildEditPage();
    QWidget* BuildRenamePage();
    QWidget* BuildFunctionPage();
    QWidget* BuildFunction2Page();
    QWidget* BuildFilePage();
    QWidget* BuildCsvPage();
    QWidget* BuildOtherPage();
    QWidget* BuildExceptionPanel();
    QWidget* BuildFilterGroup();
    QWidget* BuildFontGroup();
    QWidget* BuildId3v2Group();
    QWidget* BuildJournalGroup();
    QCheckBox* Check(int bit, const char* caption);
    QPushButton* Button(const char* name, const char* caption, void (TForm2::*handler)());
    QComboBox* ColumnChoice(const char* name, bool withIgnore);
    QLineEdit* Box(const char* name);
    QWidget* Row(std::initializer_list<QWidget*> widgets, int stretchIndex);

    // Option.cpp
    void ShowValues();
    void UpdateStates();
    void Collect();
    void OnCheckBox12Clicked(bool checked);
    void FinishFolderBox();

    // OptionLists.cpp
    void SelectPattern(int index);
    void AddExceptionRow(const std::vector<std::string>& rule);
    void OnExceptionRowClicked(QTreeWidgetItem* item);
    void AddFilterLine(const FilterEntry& entry);
    void OnFilterLineChanged(QListWidgetItem* item);
    void ShowCsvColumns(int selected);
    void ChooseFont(int which);
    void ChooseColor(int which);
    void ShowFont(int which);

    Settings opened_;  // the values the dialog opened on
    Settings edited_;  // the working copy
    std::array<QFont, 3> fonts_;
    QtPrompter boxes_;
    Prompter* prompter_;
    bool leftClickOn12_ = false;

    QTabWidget* pages_ = nullptr;
    QCheckBox* id3v2Edit_ = nullptr;        // Id3v2Edit
    QComboBox* id3v2Version_ = nullptr;     // Id3v2Version: 3, 4
    QSpinBox* journalDays_ = nullptr;       // JournalDays
    QSpinBox* journalMegabytes_ = nullptr;  // JournalMegabytes
    std::array<QCheckBox*, kOptionCount> checks_{};
    std::array<QRadioButton*, 3> clickChoices_{};
    QListWidget* numbers_ = nullptr;        // ListBox1
    QComboBox* patterns_ = nullptr;         // ComboBox1
    QWidget* exceptionPanel_ = nullptr;
    QTreeWidget* exceptions_ = nullptr;     // ListView1
    QComboBox* exceptionField_ = nullptr;   // ComboBox2
    QLineEdit* exceptionText_ = nullptr;    // Edit1
    QLineEdit* player_ = nullptr;           // Edit2
    QPushButton* playerButton_ = nullptr;   // Button5
    QLineEdit* lyricsFolder_ = nullptr;     // Edit3
    QPushButton* folderButton_ = nullptr;   // Button6
    QComboBox* includeField_ = nullptr;     // ComboBox3
    QLineEdit* includeText_ = nullptr;      // Edit4
    QRadioButton* includeMode_ = nullptr;   // RadioButton1
    QRadioButton* excludeMode_ = nullptr;   // RadioButton2
    QComboBox* excludeField_ = nullptr;     // ComboBox4
    QLineEdit* excludeText_ = nullptr;      // Edit5
    QList<QWidget*> excludeControls_;       // field, text, list, add, delete
    QListWidget* conditions_ = nullptr;     // CheckListBox1
    QListWidget* csvOrder_ = nullptr;       // ListBox2
    QComboBox* csvColumn_ = nullptr;        // ComboBox5
    QCheckBox* csvUtf8_ = nullptr;          // CsvUtf8
    QCheckBox* csvHeader_ = nullptr;        // CsvHeader
    QLineEdit* engineer_ = nullptr;         // Edit6
    std::array<QLineEdit*, 3> fontTexts_{};  // Edit7..Edit9
};

}  // namespace wvr
