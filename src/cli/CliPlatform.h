#pragma once
// The platform of the command line: no window, no questions (Cancel is Ctrl-C and needs no
// confirmation), no stored settings, the progress panel on a terminal's standard error.

#include "window/Platform.h"
#include "window/SettingsStore.h"

#include <atomic>
#include <functional>

namespace ombrix::cli {

// A store that holds nothing: the command line neither reads nor writes the user's settings.
class NoSettingsStore : public SettingsStore {
public:
    bool openKey(bool) override { return false; }
    void closeKey() override {}
    bool valueExists(const std::string&) override { return false; }
    std::optional<Type> valueType(const std::string&) override { return std::nullopt; }
    std::int32_t readInteger(const std::string&) override { return 0; }
    std::string readString(const std::string&) override { return ""; }
    bool readOnOff(const std::string&) override { return false; }
    void writeInteger(const std::string&, std::int32_t) override {}
    void writeString(const std::string&, const std::string&) override {}
    void writeOnOff(const std::string&, bool) override {}
    void writeBinary(const std::string&, const std::array<std::uint8_t, 8>&) override {}
};

class CliPlatform : public Platform {
public:
    // Called at each message pump: the front end presses Cancel there after Ctrl-C.
    std::function<void()> onPump;

    void processMessages() override {
        if (onPump) onPump();
    }
    bool askYesNo(const std::string&) override { return true; }
    void showError(const std::string& message) override;
    bool runOpenDialog(OpenDialog&) override { return false; }
    int textWidth(const std::string& text) override { return static_cast<int>(text.size()) * 6; }
    void repaintStatusBar() override {}
    void repaintWindow() override {}
    double now() override;
    std::string longTimeFormat() override { return "h:mm:ss"; }
    char decimalSeparator() override { return '.'; }
    SettingsStore& settings() override { return store_; }

private:
    NoSettingsStore store_;
};

} // namespace ombrix::cli
