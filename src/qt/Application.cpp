#include "qt/Application.h"

#include "window/Main.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

namespace ombrix::qt {

namespace {

const char* const kTahomaFiles[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};

bool hasFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

} // namespace

bool tahomaInstalled() {
    return QFontInfo(QApplication::font()).family().compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) ==
           0;
}

void setUpApplication(QApplication& app) {
    // The title bar reads exactly the window's caption, so no display name is set (Qt would add
    // it to every title); the desktop entry ombrix.desktop, Name "HD DVD Ombrix", names the
    // program in the task bar and the menus.
    app.setDesktopFileName(QStringLiteral("ombrix"));
    const QString tahoma = QStringLiteral("Tahoma");
    if (!hasFamily(tahoma)) {
        for (const char* file : kTahomaFiles)
            if (QFile::exists(QString::fromLatin1(file)))
                QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }
    if (hasFamily(tahoma)) {
        QFont font(tahoma);
        font.setPointSize(8);
        QApplication::setFont(font);
    }
}

QFont xplFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int size = QApplication::font().pointSize();
    if (size > 0) font.setPointSize(size);
    return font;
}

} // namespace ombrix::qt
