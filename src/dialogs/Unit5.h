// The dialog "ファイル名からタグを取得": the checked rows' fields read out of their file names
// (and the names of their folders) by the patterns chosen in two lists.
#pragma once

#include <QDialog>

#include "app/commands/TagsFromName.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

namespace wvr {

class MainWindow;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(MainWindow& main);

    // The values as the controls show them, as they are stored.
    FromNameSettings ShownSettings() const;

public slots:
    void Button1Click();  // ＯＫ: run, store the values, close
    void Button3Click();  // 追加(&A): a file-name pattern
    void Button4Click();  // 削除(&E)
    void Button5Click();  // 追加(&N): a folder-name pattern
    void Button6Click();  // 削除(&M)
    void CheckBox2Click();

private:
    // One pattern list: the editable patterns and the positions kept in step with them.
    struct PatternList {
        QComboBox* positions;
        QComboBox* patterns;
    };
    QGroupBox* BuildPatternGroup(const char* caption, PatternList& list, const char* names[4],
                                 const char* addCaption, const char* deleteCaption, QCheckBox*& overwrite,
                                 const char* overwriteName);
    void ShowPatterns(PatternList& list, const std::vector<std::string>& patterns, int selected);
    std::vector<std::string> PatternsOf(const PatternList& list) const;
    void AddPattern(PatternList& list);
    void DeletePattern(PatternList& list, const char* defaultPattern);
    void Select(PatternList& list, int position);

    MainWindow& main_;
    PatternList fileList_{};    // ComboBox1, ComboBox2
    PatternList folderList_{};  // ComboBox3, ComboBox4
    QGroupBox* folderGroup_ = nullptr;
    QCheckBox* overwriteFile_ = nullptr;    // CheckBox1
    QCheckBox* useFolder_ = nullptr;        // CheckBox2
    QCheckBox* overwriteFolder_ = nullptr;  // CheckBox3
    QCheckBox* toSpace_ = nullptr;          // CheckBox4
    QCheckBox* halfWidth_ = nullptr;        // CheckBox5
    QCheckBox* kana_ = nullptr;             // CheckBox6, hidden
};

}  // namespace wvr
