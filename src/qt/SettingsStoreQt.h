#pragma once
// The user's settings in QSettings: on Windows the registry key
// HKEY_CURRENT_USER\Software\<organisation>\<application>, elsewhere the per-user
// configuration file <organisation>/<application>.conf.
//
// Integers (and on/off values, as 1 or 0) are stored as numbers, texts as texts, binary
// values as byte arrays. Where the backend keeps the kinds apart (the registry, macOS
// preferences) that is all. Where every value reads back as text (the INI file), a text that
// would read as a whole number, or that starts with an apostrophe, is stored with one
// apostrophe in front ("'264"); on load, a plain whole number is an integer, anything else
// without a byte-array form is a text, so a text where a number belongs is told apart.

#include "window/SettingsStore.h"

#include <QString>

#include <memory>

class QSettings;
class QVariant;

namespace ombrix::qt {

class SettingsStoreQt : public SettingsStore {
  public:
    enum class Backend {
        Typed, // keeps integers, texts and byte arrays apart
        Text,  // reads every value back as text
    };
    // The platform's own store: QSettings("Quillmoor Software", "Ombrix").
    SettingsStoreQt();
    SettingsStoreQt(QString organization, QString application, Backend backend);
    ~SettingsStoreQt() override;
    SettingsStoreQt(const SettingsStoreQt&) = delete;
    SettingsStoreQt& operator=(const SettingsStoreQt&) = delete;

    // The kind of backend QSettings uses on this system.
    static Backend nativeBackend();

    bool openKey(bool create) override;
    void closeKey() override;
    std::optional<Type> valueType(const std::string& name) override;
    std::int32_t readInteger(const std::string& name) override;
    std::string readString(const std::string& name) override;
    std::vector<std::uint8_t> readBinary(const std::string& name) override;
    void writeInteger(const std::string& name, std::int32_t value) override;
    void writeString(const std::string& name, const std::string& value) override;
    void writeBinary(const std::string& name, const std::array<std::uint8_t, 8>& value) override;

  private:
    QVariant stored(const std::string& name) const;
    QSettings& open() const;

    QString organization_, application_;
    Backend backend_;
    std::unique_ptr<QSettings> settings_;
};

} // namespace ombrix::qt
