// Loading and saving the user's settings: window placement, the XPL tree's width, the
// options, the output extensions and folder, and the last EVO and XPL folders.

#include "engine/Errors.h"
#include "window/Main.h"
#include "window/SettingsStore.h"

#include <algorithm>
#include <bit>
#include <optional>

namespace ombrix {

std::string invalidSettingTypeMessage(const std::string& name) {
    return "Invalid data type for '" + name + "'";
}

std::vector<std::uint8_t> SettingsStore::readBinary(const std::string& name) {
    throw Error(invalidSettingTypeMessage(name));
}

namespace {

// The window can't be made smaller than this, whatever is stored.
constexpr int kMinOuterWidth = 370;
constexpr int kMinOuterHeight = 380;

// Closes the key however the load or save ends.
class OpenKey {
  public:
    explicit OpenKey(SettingsStore& store) : store_(store) {}
    ~OpenKey() { store_.closeKey(); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

  private:
    SettingsStore& store_;
};

// True when the value exists with the expected type, false when it is missing; an Error
// naming it when it has another type.
bool present(SettingsStore& store, const std::string& name, SettingsStore::Type expected) {
    const auto type = store.valueType(name);
    if (!type) return false;
    if (*type != expected) throw Error(invalidSettingTypeMessage(name));
    return true;
}

std::optional<std::int32_t> integerValue(SettingsStore& store, const std::string& name) {
    if (!present(store, name, SettingsStore::Type::Integer)) return std::nullopt;
    return store.readInteger(name);
}

std::optional<std::string> stringValue(SettingsStore& store, const std::string& name) {
    if (!present(store, name, SettingsStore::Type::String)) return std::nullopt;
    return store.readString(name);
}

std::optional<bool> onOffValue(SettingsStore& store, const std::string& name) {
    if (!present(store, name, SettingsStore::Type::Integer)) return std::nullopt;
    return store.readOnOff(name);
}

// An OLE Automation date as its 8 bytes, little-endian.
std::array<std::uint8_t, 8> dateBytes(double days) {
    const auto bits = std::bit_cast<std::uint64_t>(days);
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return bytes;
}

} // namespace

void TfMain::RegRead() {
    SettingsStore& store = platform_.settings();
    if (!store.openKey(false)) return;
    OpenKey key(store);

    // Place and size first, so that a window stored maximised gets its normal bounds before
    // it is maximised. Each value is applied at once: an error in a later one keeps it.
    if (auto v = integerValue(store, "Width")) {
        frame.width = std::max(*v, kMinOuterWidth);
        frame.update();
    }
    if (auto v = integerValue(store, "Height")) {
        frame.height = std::max(*v, kMinOuterHeight);
        frame.update();
    }
    if (auto v = integerValue(store, "Top")) {
        frame.top = *v;
        frame.update();
    }
    if (auto v = integerValue(store, "Left")) {
        frame.left = *v;
        frame.update();
    }
    if (auto v = integerValue(store, "WindowState")) {
        // A number that names no window state leaves the state as it is.
        if (*v == WindowFrame::Normal || *v == WindowFrame::Minimized || *v == WindowFrame::Maximized) {
            frame.state = *v;
            frame.update();
        }
    }
    if (auto v = integerValue(store, "TreeWidth")) tvXPL.setWidth(*v);
    if (auto v = stringValue(store, "AudioExt")) eAudioExt.setText(*v);
    if (auto v = stringValue(store, "VideoExt")) eVideoExt.setText(*v);
    if (auto v = stringValue(store, "SubExt")) eSubExt.setText(*v);
    if (auto v = stringValue(store, "Workdir")) eWorkdir.setText(*v);
    if (auto v = stringValue(store, "EVOdir")) st.EVOdir = *v;
    if (auto v = stringValue(store, "XPLdir")) st.XPLdir = *v;
    if (auto v = onOffValue(store, "Continue")) cbContinue.setChecked(*v);
    if (auto v = onOffValue(store, "FastCheck")) cbFastCheck.setChecked(*v);
    if (auto v = onOffValue(store, "CountFrames")) cbCountFr.setChecked(*v);
    if (auto v = onOffValue(store, "Details")) cbDetails.setChecked(*v);
}

void TfMain::RegWrite() {
    SettingsStore& store = platform_.settings();
    if (!store.openKey(true)) return;
    OpenKey key(store);

    store.writeInteger("WindowState", frame.state);
    // A maximised window keeps the normal bounds of the last save.
    if (frame.state != WindowFrame::Maximized) {
        store.writeInteger("Top", frame.top);
        store.writeInteger("Left", frame.left);
        store.writeInteger("Width", frame.width);
        store.writeInteger("Height", frame.height);
    }
    store.writeInteger("TreeWidth", tvXPL.width());
    store.writeString("AudioExt", eAudioExt.text());
    store.writeString("VideoExt", eVideoExt.text());
    store.writeString("SubExt", eSubExt.text());
    store.writeString("Workdir", eWorkdir.text());
    store.writeString("EVOdir", st.EVOdir);
    store.writeString("XPLdir", st.XPLdir);
    store.writeOnOff("Continue", cbContinue.checked());
    store.writeOnOff("FastCheck", cbFastCheck.checked());
    store.writeOnOff("CountFrames", cbCountFr.checked());
    store.writeOnOff("Details", cbDetails.checked());
    if (!store.valueExists("Install")) store.writeBinary("Install", dateBytes(platform_.now()));
}

} // namespace ombrix
