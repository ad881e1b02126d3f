// The edit window "Edit": one text box per tag field of the main list's focused row. Typing
// goes straight into the row and checks it; the window writes, renames and restores the name
// of that one row, and steps the main list with Up and Down.
#pragma once

#include <QWidget>
#include <array>

#include "app/commands/Settings.h"
#include "app/ui/EditWindowLink.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;

namespace wvr {

class ByteLimitValidator;
class MainWindow;

class TForm1 : public QWidget, public EditWindowLink {
    Q_OBJECT
public:
    // Fourteen field boxes, Edit1..Edit14, showing Fields[0]..Fields[13].
    static constexpr int kBoxCount = 14;

    explicit TForm1(MainWindow& main);
    ~TForm1() override;

    // EditWindowLink
    void Reload() override;
    void ShowWindow() override;
    void CloseWindow() override;
    bool IsShown() const override;
    void SetStayOnTop(bool onTop) override;
    bool StaysOnTop() const override;
    void TakeFocus() override;
    void FollowSettings() override;
    void UpdateActionStates() override;
    void StoreState(Settings& settings) const override;

    QLineEdit* box(int field) const { return boxes_[field]; }
    QLineEdit* fileNameBox() const { return fileNameBox_; }
    QGroupBox* siGroup() const { return siGroup_; }
    QGroupBox* siOptionGroup() const { return siOptionGroup_; }
    // The row shown last, -1 before the first reload.
    int shownRow() const { return shownRow_; }

    // Handlers of the window's menus, by the names of their items.
public slots:
    void W1Click();
    void Exit1Click();
    void Undo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Delete1Click();
    void SelectAll1Click();
    void R1Click();
    void K1Click();
    void F1Click();
    void RMP3L1Click();
    void EtcClick();
    void Etc2Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // TageditLayout.cpp
    void BuildGroups();
    QLabel* AddCaption(QGroupBox* group, const char* caption);
    QLineEdit* AddBox(QGroupBox* group, const QString& name);
    void MarkLossyFields(const TrackInfo& row);
    int GroupHeight(int rows) const;
    void LayoutGroups();
    void FitHeightToGroups();
    int MenuHeight() const;

    // TageditMenus.cpp
    void BuildMenus();
    void UpdateEditItems();
    void UpdateViewItems();
    void ShowPopup(const QPoint& globalPos);

    // Tagedit.cpp
    void ApplyStoredState();
    void ApplyFont(const FontSetting& setting);
    void ApplyLimits(const TrackInfo& row);
    void OnFieldEdited(int field, const QString& text);
    void OnFileNameEdited(const QString& text);
    bool HandleBoxKey(QLineEdit* box, const QKeyEvent* key);
    void StepRow(int delta);
    QLineEdit* FocusedBox() const;
    QAction* item(const char* name) const;

    MainWindow& main_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* popup_ = nullptr;
    QGroupBox* id3Group_ = nullptr;
    QGroupBox* siGroup_ = nullptr;
    QGroupBox* siOptionGroup_ = nullptr;
    std::array<QLineEdit*, kBoxCount> boxes_{};
    std::array<QLabel*, kBoxCount> captions_{};
    QLineEdit* fileNameBox_ = nullptr;  // Label9
    QLabel* fileNameCaption_ = nullptr;
    QLabel* infoLabel_ = nullptr;       // Label8
    std::array<ByteLimitValidator*, 5> limits_{};  // title, artist, album, comment, date
    int shownRow_ = -1;
    uint32_t appliedColor_ = kThemeTextColor;  // the stored colour the texts are drawn in
};

}  // namespace wvr
