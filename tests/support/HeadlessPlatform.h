#pragma once
// A scripted platform for tests: a clock the test sets, a pump hook (to press Cancel in the
// middle of a pass), scripted answers and dialog results, a fixed text-width measure, and a
// record of everything the window showed.

#include "window/Platform.h"
#include "window/SettingsStore.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace ombrix::testing {

// Settings kept in memory: one key of typed values (on/off values are integers).
class MemorySettingsStore : public SettingsStore {
public:
    using Value = std::variant<std::int32_t, std::string, std::vector<std::uint8_t>>;
    bool keyExists = false;
    bool openFails = false;
    bool keyOpen = false;
    std::map<std::string, Value> values;
    std::vector<std::string> writeOrder; // names in the order they were written

    bool openKey(bool create) override;
    void closeKey() override { keyOpen = false; }
    std::optional<Type> valueType(const std::string& name) override;
    std::int32_t readInteger(const std::string& name) override;
    std::string readString(const std::string& name) override;
    std::vector<std::uint8_t> readBinary(const std::string& name) override;
    void writeInteger(const std::string& name, std::int32_t value) override;
    void writeString(const std::string& name, const std::string& value) override;
    void writeBinary(const std::string& name, const std::array<std::uint8_t, 8>& value) override;
};

class HeadlessPlatform : public Platform {
public:
    // --- scripting -----------------------------------------------------------------------
    // Called at every message pump (once per 4 MiB of a pass).
    std::function<void()> onPump;
    // Answers to Yes/No questions, in order; when empty, `defaultAnswer`.
    std::deque<bool> answers;
    bool defaultAnswer = false;
    // Dialog results, in order: a path confirms, nullopt cancels. When empty: cancel.
    std::deque<std::optional<std::string>> dialogResults;
    // The clock in days; advanced by `clockStep` at every reading.
    double clock = 46000.5;
    double clockStep = 0;
    std::string timeFormat = "h:mm:ss";
    char decimal = '.';
    // Pixels per character of the fixed width measure.
    int charWidth = 6;

    // --- record --------------------------------------------------------------------------
    int pumps = 0;
    int windowRepaints = 0;
    int statusRepaints = 0;
    bool closed = false;
    std::vector<std::string> questions;
    std::vector<std::string> errors;
    std::vector<OpenDialog> dialogsShown;
    MemorySettingsStore store;

    // --- the port --------------------------------------------------------------------------
    void processMessages() override;
    bool askYesNo(const std::string& text) override;
    void showError(const std::string& message) override { errors.push_back(message); }
    bool runOpenDialog(OpenDialog& dialog) override;
    int textWidth(const std::string& text) override { return static_cast<int>(text.size()) * charWidth; }
    void repaintStatusBar() override { ++statusRepaints; }
    void repaintWindow() override { ++windowRepaints; }
    double now() override;
    std::string longTimeFormat() override { return timeFormat; }
    char decimalSeparator() override { return decimal; }
    SettingsStore& settings() override { return store; }
    void closeWindow() override { closed = true; }
};

} // namespace ombrix::testing
