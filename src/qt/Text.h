#pragma once
// The program's texts are 8-bit strings in the system's code page; Qt's are UTF-16.

#include <QString>

#include <string>

namespace ombrix::qt {

inline QString toQ(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQ(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace ombrix::qt
