#include "qt/SettingsStoreQt.h"

#include "engine/Errors.h"
#include "qt/Text.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>

#include <charconv>
#include <limits>

namespace ombrix::qt {

namespace {

constexpr QChar kTextMark = u'\'';

// A stored value as the program sees it.
struct Reading {
    SettingsStore::Type type = SettingsStore::Type::Other;
    std::int32_t integer = 0;
    QString text;
    QByteArray bytes;
};

// The whole text is a 32-bit whole number in decimal ("-12", "0370"; no sign "+", no blanks).
std::optional<std::int32_t> wholeNumber(const QString& text) {
    const std::string s = text.toStdString();
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

// 32 bits of a wider number, as a registry number reads; nothing when it doesn't fit.
std::optional<std::int32_t> thirtyTwoBits(qint64 value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

Reading classify(const QVariant& v, SettingsStoreQt::Backend backend) {
    using Type = SettingsStore::Type;
    Reading r;
    std::optional<std::int32_t> number;
    switch (v.typeId()) {
    case QMetaType::Int:
        number = v.toInt();
        break;
    case QMetaType::UInt:
        number = static_cast<std::int32_t>(v.toUInt());
        break;
    case QMetaType::LongLong:
        number = thirtyTwoBits(v.toLongLong());
        break;
    case QMetaType::ULongLong:
        if (v.toULongLong() <= std::numeric_limits<std::uint32_t>::max())
            number = static_cast<std::int32_t>(static_cast<std::uint32_t>(v.toULongLong()));
        break;
    case QMetaType::QString: {
        QString text = v.toString();
        if (backend == SettingsStoreQt::Backend::Text) {
            if (text.startsWith(kTextMark)) {
                text.remove(0, 1);
            } else if (auto n = wholeNumber(text)) {
                r.type = Type::Integer;
                r.integer = *n;
                return r;
            }
        }
        r.type = Type::String;
        r.text = text;
        return r;
    }
    case QMetaType::QByteArray:
        r.type = Type::Binary;
        r.bytes = v.toByteArray();
        return r;
    default:
        return r;
    }
    if (number) {
        r.type = Type::Integer;
        r.integer = *number;
    }
    return r;
}

} // namespace

SettingsStoreQt::SettingsStoreQt() : SettingsStoreQt("Quillmoor Software", "Ombrix", nativeBackend()) {}

SettingsStoreQt::SettingsStoreQt(QString organization, QString application, Backend backend)
    : organization_(std::move(organization)), application_(std::move(application)), backend_(backend) {}

SettingsStoreQt::~SettingsStoreQt() = default;

SettingsStoreQt::Backend SettingsStoreQt::nativeBackend() {
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return Backend::Typed;
#else
    return Backend::Text;
#endif
}

bool SettingsStoreQt::openKey(bool create) {
    settings_ = std::make_unique<QSettings>(organization_, application_);
    const bool usable = settings_->status() != QSettings::AccessError &&
                        (create ? settings_->isWritable() : !settings_->childKeys().isEmpty());
    if (!usable) settings_.reset();
    return usable;
}

void SettingsStoreQt::closeKey() {
    if (!settings_) return;
    settings_->sync();
    settings_.reset();
}

QSettings& SettingsStoreQt::open() const {
    if (!settings_) throw Error("The settings are not open");
    return *settings_;
}

QVariant SettingsStoreQt::stored(const std::string& name) const {
    return open().value(toQ(name));
}

std::optional<SettingsStore::Type> SettingsStoreQt::valueType(const std::string& name) {
    if (!open().contains(toQ(name))) return std::nullopt;
    return classify(stored(name), backend_).type;
}

std::int32_t SettingsStoreQt::readInteger(const std::string& name) {
    const Reading r = classify(stored(name), backend_);
    if (r.type != Type::Integer) throw Error(invalidSettingTypeMessage(name));
    return r.integer;
}

std::string SettingsStoreQt::readString(const std::string& name) {
    const Reading r = classify(stored(name), backend_);
    if (r.type != Type::String) throw Error(invalidSettingTypeMessage(name));
    return fromQ(r.text);
}

std::vector<std::uint8_t> SettingsStoreQt::readBinary(const std::string& name) {
    const Reading r = classify(stored(name), backend_);
    if (r.type != Type::Binary) throw Error(invalidSettingTypeMessage(name));
    return {r.bytes.begin(), r.bytes.end()};
}

void SettingsStoreQt::writeInteger(const std::string& name, std::int32_t value) {
    open().setValue(toQ(name), static_cast<int>(value));
}

void SettingsStoreQt::writeString(const std::string& name, const std::string& value) {
    QString text = toQ(value);
    if (backend_ == Backend::Text && (text.startsWith(kTextMark) || wholeNumber(text)))
        text.prepend(kTextMark);
    open().setValue(toQ(name), text);
}

void SettingsStoreQt::writeBinary(const std::string& name, const std::array<std::uint8_t, 8>& value) {
    open().setValue(toQ(name), QByteArray(reinterpret_cast<const char*>(value.data()), value.size()));
}

} // namespace ombrix::qt
