#include "qt/QtPlatform.h"

#include "engine/Format.h"
#include "qt/EmptySettingsStore.h"
#include "qt/Text.h"
#include "window/Main.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLocale>
#include <QMessageBox>

namespace ombrix::qt {

QtPlatform::QtPlatform() : store_(std::make_unique<EmptySettingsStore>()) {}

QtPlatform::~QtPlatform() = default;

void QtPlatform::attach(QWidget* window, QWidget* statusBar) {
    window_ = window;
    statusBar_ = statusBar;
}

void QtPlatform::setSettingsStore(std::unique_ptr<SettingsStore> store) {
    store_ = store ? std::move(store) : std::make_unique<EmptySettingsStore>();
}

void QtPlatform::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtPlatform::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kQuestionTitle), toQ(text),
                    QMessageBox::Yes | QMessageBox::No, window_);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPlatform::showError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), toQ(message),
                    QMessageBox::Ok, window_);
    box.exec();
}

QStringList QtPlatform::nameFilters(const std::string& filter) {
    const QStringList parts = toQ(filter).split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

QString QtPlatform::defaultSuffix(const std::string& ext) {
    QString s = toQ(ext);
    while (s.startsWith(QLatin1Char('*')) || s.startsWith(QLatin1Char('.')))
        s.remove(0, 1);
    return s;
}

bool QtPlatform::runOpenDialog(OpenDialog& dialog) {
    QFileDialog box(window_, toQ(dialog.title));
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(dialog.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Discs name their files in capitals: the patterns match either case, as on Windows.
    box.setFilter(box.filter() & ~QDir::CaseSensitive);
    box.setOption(QFileDialog::DontResolveSymlinks, dialog.noDereferenceLinks);
    box.setSizeGripEnabled(dialog.resizable);
    const QStringList filters = nameFilters(dialog.filter);
    if (!filters.isEmpty()) {
        box.setNameFilters(filters);
        box.selectNameFilter(filters.front());
    }
    box.setDefaultSuffix(defaultSuffix(dialog.defaultExt));
    if (!dialog.initialDir.empty()) box.setDirectory(toQ(dialog.initialDir));
    if (!dialog.fileName.empty()) box.selectFile(toQ(dialog.fileName));
    if (box.exec() != QDialog::Accepted) return false;
    const QStringList chosen = box.selectedFiles();
    if (chosen.isEmpty()) return false;
    dialog.fileName = fromQ(QDir::toNativeSeparators(chosen.front()));
    return true;
}

int QtPlatform::textWidth(const std::string& text) {
    const QFont font = statusBar_ ? statusBar_->font() : QApplication::font();
    return QFontMetrics(font).horizontalAdvance(toQ(text));
}

void QtPlatform::repaintStatusBar() {
    if (statusBar_) statusBar_->repaint();
}

void QtPlatform::repaintWindow() {
    if (window_) window_->repaint();
}

double QtPlatform::now() {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    return oleDate(d.year(), d.month(), d.day(), t.time().msecsSinceStartOfDay() / 1000.0);
}

std::string QtPlatform::clockFormat(const QString& localeFormat) {
    const std::string f = fromQ(localeFormat);
    std::string out;
    bool pendingBlank = false;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        if (c == 't') {
            // The zone token and the blanks around it go; a blank stays between what it separated.
            while (!out.empty() && isBlank(out.back()))
                out.pop_back();
            while (i < f.size() && f[i] == 't')
                ++i;
            while (i < f.size() && isBlank(f[i]))
                ++i;
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank) {
            out += ' ';
            pendingBlank = false;
        }
        if (c == '\'') {
            const std::size_t end = f.find('\'', i + 1);
            const std::size_t stop = end == std::string::npos ? f.size() : end + 1;
            out.append(f, i, stop - i);
            i = stop;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::string QtPlatform::longTimeFormat() {
    return clockFormat(QLocale().timeFormat(QLocale::LongFormat));
}

char QtPlatform::decimalSeparator() {
    const std::string s = fromQ(QLocale().decimalPoint());
    return s.size() == 1 ? s[0] : '.';
}

void QtPlatform::closeWindow() {
    if (onCloseWindow) onCloseWindow();
}

} // namespace ombrix::qt
