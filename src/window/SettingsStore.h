#pragma once
// The per-user settings store: one key of named values of integer, string, on/off and
// 8-byte binary type.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace ombrix {

class SettingsStore {
public:
    enum class Type { Integer, String, OnOff, Binary };
    virtual ~SettingsStore() = default;

    // Opens the key; with create, makes it when missing. False when it can't be opened.
    virtual bool openKey(bool create) = 0;
    virtual void closeKey() = 0;

    virtual bool valueExists(const std::string& name) = 0;
    // The stored value's type, or nothing when the value is missing.
    virtual std::optional<Type> valueType(const std::string& name) = 0;

    virtual std::int32_t readInteger(const std::string& name) = 0;
    virtual std::string readString(const std::string& name) = 0;
    virtual bool readOnOff(const std::string& name) = 0;

    virtual void writeInteger(const std::string& name, std::int32_t value) = 0;
    virtual void writeString(const std::string& name, const std::string& value) = 0;
    virtual void writeOnOff(const std::string& name, bool value) = 0;
    virtual void writeBinary(const std::string& name, const std::array<std::uint8_t, 8>& value) = 0;
};

} // namespace ombrix
