// The program's help: HTML pages, one file per topic ("main.html", "HELPC_0019.html", ...),
// kept in the folder "help" beside the program (the build folder) or in the installed data
// folder, and shown in a small window of our own with links between pages and a back button.
#pragma once

#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace wvr {

inline constexpr const char* kMainHelpTopic = "main";
// The pages of the tool dialogs, opened by F1 in them.
inline constexpr const char* kFillHelpTopic = "fill";
inline constexpr const char* kFindHelpTopic = "find";
inline constexpr const char* kFromNameHelpTopic = "fromname";
inline constexpr const char* kOutputHelpTopic = "output";
inline constexpr const char* kTextInputHelpTopic = "textinput";

// Where the pages are: "help" beside the program, else "../share/wvr/help" from it; empty
// when neither holds the main page.
QString HelpFolder();
// Tests point the lookup at a folder of their choice; an empty text restores the search.
void SetHelpFolder(const QString& folder);
// The file of a topic inside the help folder.
QString HelpTopicFile(const QString& topic);
// Every topic the program opens: the main page, the options pages, the tool dialogs' pages.
QStringList HelpTopics();

// F1 in `dialog` opens `topic`.
void AddHelpKey(QWidget* dialog, const char* topic);

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Shows `topic` in the one help window, brought to the front. `from` is the window that
    // asks; while it is a modal dialog the help window belongs to it, so that it can be used.
    static HelpViewer* Open(QWidget* from, const QString& topic);
    // The open help window, if any.
    static HelpViewer* Instance();

    void ShowTopic(const QString& topic);
    QTextBrowser* browser() const { return browser_; }

private:
    explicit HelpViewer(QWidget* owner);
    void FollowOwner(QWidget* from);
    void PlaceBeside(const QWidget* owner);
    void JoinTopLayer();
    void UpdateTitle();

    QTextBrowser* browser_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
};

}  // namespace wvr
