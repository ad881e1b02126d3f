// What the main window asks of the edit window, which is built on top of it.
#pragma once

namespace wvr {

struct Settings;

class EditWindowLink {
public:
    virtual ~EditWindowLink() = default;
    // Shows the focused row again (after rows changed under it).
    virtual void Reload() = 0;
    virtual void ShowWindow() = 0;
    virtual void CloseWindow() = 0;
    virtual bool IsShown() const = 0;
    virtual void SetStayOnTop(bool onTop) = 0;
    virtual bool StaysOnTop() const = 0;
    // Enables the window's items by their rules (the main list's checks and settings).
    virtual void UpdateActionStates() = 0;
    // Gives the keyboard focus to the edit window when it is shown.
    virtual void TakeFocus() = 0;
    // Takes the font and the software box's state from the settings again, then reloads.
    virtual void FollowSettings() = 0;
    // Puts the window's own stored values (size, groups, on-top state, font) into the settings.
    virtual void StoreState(Settings& settings) const = 0;
};

}  // namespace wvr
