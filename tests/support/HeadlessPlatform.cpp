#include "support/HeadlessPlatform.h"

#include "engine/Errors.h"

namespace ombrix::testing {

bool MemorySettingsStore::openKey(bool create) {
    if (openFails) return false;
    if (!keyExists && create) keyExists = true;
    keyOpen = keyExists;
    return keyExists;
}

std::optional<SettingsStore::Type> MemorySettingsStore::valueType(const std::string& name) {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    switch (it->second.index()) {
    case 0: return Type::Integer;
    case 1: return Type::String;
    default: return Type::Binary;
    }
}

namespace {
template <typename T> const T& typed(std::map<std::string, MemorySettingsStore::Value>& values, const std::string& name) {
    auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<T>(it->second)) throw Error(invalidSettingTypeMessage(name));
    return std::get<T>(it->second);
}
} // namespace

std::int32_t MemorySettingsStore::readInteger(const std::string& name) { return typed<std::int32_t>(values, name); }
std::string MemorySettingsStore::readString(const std::string& name) { return typed<std::string>(values, name); }
std::vector<std::uint8_t> MemorySettingsStore::readBinary(const std::string& name) {
    return typed<std::vector<std::uint8_t>>(values, name);
}
void MemorySettingsStore::writeInteger(const std::string& name, std::int32_t value) {
    values[name] = value;
    writeOrder.push_back(name);
}
void MemorySettingsStore::writeString(const std::string& name, const std::string& value) {
    values[name] = value;
    writeOrder.push_back(name);
}
void MemorySettingsStore::writeBinary(const std::string& name, const std::array<std::uint8_t, 8>& value) {
    values[name] = std::vector<std::uint8_t>(value.begin(), value.end());
    writeOrder.push_back(name);
}

void HeadlessPlatform::processMessages() {
    ++pumps;
    if (onPump) onPump();
}

bool HeadlessPlatform::askYesNo(const std::string& text) {
    questions.push_back(text);
    if (answers.empty()) return defaultAnswer;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

bool HeadlessPlatform::runOpenDialog(OpenDialog& dialog) {
    dialogsShown.push_back(dialog);
    if (dialogResults.empty()) return false;
    auto r = dialogResults.front();
    dialogResults.pop_front();
    if (!r) return false;
    dialog.fileName = *r;
    return true;
}

double HeadlessPlatform::now() {
    const double t = clock;
    clock += clockStep;
    return t;
}

} // namespace ombrix::testing
