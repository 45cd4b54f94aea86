#pragma once
// The per-user settings store: one key of named values of integer, string and binary type.
// On/off values are integers: 1 ticked, 0 unticked, and any non-zero number reads as ticked.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ombrix {

class SettingsStore {
  public:
    // Other: a value of a kind that the program never stores.
    enum class Type { Integer, String, Binary, Other };
    virtual ~SettingsStore() = default;

    // Opens the key; with create, makes it when missing. False when it can't be opened
    // (without create: also when it doesn't exist).
    virtual bool openKey(bool create) = 0;
    virtual void closeKey() = 0;

    // The stored value's type, or nothing when the value is missing.
    virtual std::optional<Type> valueType(const std::string& name) = 0;
    virtual bool valueExists(const std::string& name) { return valueType(name).has_value(); }

    // Each read fails with an Error naming the value when it is missing or of another type.
    virtual std::int32_t readInteger(const std::string& name) = 0;
    virtual std::string readString(const std::string& name) = 0;
    // A store that never holds binary values may leave this as it is.
    virtual std::vector<std::uint8_t> readBinary(const std::string& name);
    virtual bool readOnOff(const std::string& name) { return readInteger(name) != 0; }

    virtual void writeInteger(const std::string& name, std::int32_t value) = 0;
    virtual void writeString(const std::string& name, const std::string& value) = 0;
    virtual void writeBinary(const std::string& name, const std::array<std::uint8_t, 8>& value) = 0;
    virtual void writeOnOff(const std::string& name, bool on) { writeInteger(name, on ? 1 : 0); }
};

// The message of a value that is missing or not of the type the program expects.
std::string invalidSettingTypeMessage(const std::string& name);

} // namespace ombrix
