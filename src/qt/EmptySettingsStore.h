#pragma once
// A settings store that holds nothing: opening its key fails, so loading keeps the defaults of
// the window's layout and saving stores nothing. The window's tests use it, so that they
// neither read nor change the user's own settings.

#include "engine/Errors.h"
#include "window/SettingsStore.h"

namespace ombrix::qt {

class EmptySettingsStore : public SettingsStore {
  public:
    bool openKey(bool) override { return false; }
    void closeKey() override {}
    std::optional<Type> valueType(const std::string&) override { return std::nullopt; }
    std::int32_t readInteger(const std::string& name) override { throw missing(name); }
    std::string readString(const std::string& name) override { throw missing(name); }
    void writeInteger(const std::string&, std::int32_t) override {}
    void writeString(const std::string&, const std::string&) override {}
    void writeBinary(const std::string&, const std::array<std::uint8_t, 8>&) override {}

  private:
    static Error missing(const std::string& name) { return Error("Invalid data type for '" + name + "'"); }
};

} // namespace ombrix::qt
