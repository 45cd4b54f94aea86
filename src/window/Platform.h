#pragma once
// The one door from the program to the world outside its files: the Qt layer implements it,
// and so do the command line and the tests.

#include "window/Controls.h"

#include <string>

namespace ombrix {

class SettingsStore;

class Platform {
public:
    virtual ~Platform() = default;

    // Lets the window handle its pending messages.
    virtual void processMessages() = 0;
    // A Yes/No question with No as the default; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void showError(const std::string& message) = 0;
    // Shows the dialog; on confirmation stores the chosen path in dialog.fileName and returns
    // true, after a cancel leaves the dialog as it was and returns false.
    virtual bool runOpenDialog(OpenDialog& dialog) = 0;

    // Width in pixels of a text in the status bar's font.
    virtual int textWidth(const std::string& text) = 0;
    virtual void repaintStatusBar() = 0;
    virtual void repaintWindow() = 0;

    // The local date and time as days since 30 December 1899, with the time as fraction.
    virtual double now() = 0;
    // The user's long time format, without a time-zone part (tokens of formatTimeOfDay).
    virtual std::string longTimeFormat() = 0;
    virtual char decimalSeparator() = 0;

    // The per-user settings store.
    virtual SettingsStore& settings() = 0;
    // The window has been asked to close and may now do so.
    virtual void closeWindow() {}
};

} // namespace ombrix
