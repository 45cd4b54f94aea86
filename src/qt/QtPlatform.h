#pragma once
// The platform port in Qt: the message pump, the Yes/No question, the error box, the open
// dialogs, the status bar's font, the clock and the user's locale.

#include "window/Platform.h"
#include "window/SettingsStore.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace ombrix::qt {

class QtPlatform : public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;

    // The window that owns the boxes and dialogs, and its status bar (its font measures texts).
    void attach(QWidget* window, QWidget* statusBar);
    // The store behind settings(); until one is given, a store that holds nothing.
    void setSettingsStore(std::unique_ptr<SettingsStore> store);
    // Called when the window may close after a close that a running pass held back.
    std::function<void()> onCloseWindow;

    void processMessages() override;
    bool askYesNo(const std::string& text) override;
    void showError(const std::string& message) override;
    bool runOpenDialog(OpenDialog& dialog) override;
    int textWidth(const std::string& text) override;
    void repaintStatusBar() override;
    void repaintWindow() override;
    double now() override;
    std::string longTimeFormat() override;
    char decimalSeparator() override;
    SettingsStore& settings() override { return *store_; }
    void closeWindow() override;

    // The dialog's filters: "label|pattern|label|pattern" as Qt name filters "label (pattern)";
    // several patterns of one filter are separated by ";".
    static QStringList nameFilters(const std::string& filter);
    // The default extension without its leading "*." or ".".
    static QString defaultSuffix(const std::string& ext);
    // A locale's time format without its time-zone part.
    static std::string clockFormat(const QString& localeFormat);

    // The titles of the boxes.
    static constexpr const char* kQuestionTitle = "Confirm";

  private:
    QPointer<QWidget> window_;
    QPointer<QWidget> statusBar_;
    std::unique_ptr<SettingsStore> store_;
};

} // namespace ombrix::qt
