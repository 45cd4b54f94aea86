// The Ombrix program: the application object, the one window fMain over the window model, and
// the event loop. A file named on the command line is taken as if dropped onto the window: the
// EVO field (and, for a file in an HVDVD_TS folder, the XPL field) is filled, ready for Read EVO.

#include "qt/Application.h"
#include "qt/EventBoundary.h"
#include "qt/MainWindow.h"
#include "qt/QtPlatform.h"
#include "qt/SettingsStoreQt.h"
#include "qt/Text.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: Ombrix [FILE]\n"
    "\n"
    "Opens the Ombrix window. FILE, an .EVO or .VOB file (or a playlist VPLST000.XPL), is\n"
    "taken as if dropped onto the window: its fields are filled, ready for Read EVO.\n"
    "\n"
    "  --help      this text\n"
    "  --version   the program's version\n"
    "\n"
    "Qt's own options (such as -platform offscreen) are accepted too. The same work without a\n"
    "window: ombrix-cli --help.\n";

} // namespace

int main(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[k], "--version") == 0) {
            std::printf("Ombrix %s\n", OMBRIX_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv); // takes Qt's own options out of the arguments
    const QStringList args = QApplication::arguments();
    if (args.size() > 2 || (args.size() == 2 && args[1].startsWith(QLatin1Char('-')))) {
        std::fputs("Ombrix: expected at most one file\nTry 'Ombrix --help'.\n", stderr);
        return 2;
    }
    ombrix::qt::setUpApplication(app);
    ombrix::qt::QtPlatform platform;
    platform.setSettingsStore(std::make_unique<ombrix::qt::SettingsStoreQt>());
    ombrix::TfMain model(platform);
    ombrix::qt::MainWindow fMain(model, platform);
    fMain.show();
    if (args.size() == 2) {
        // Showing the window queued its first activation, which loads the settings; the drop
        // comes after it, so the stored folders don't overwrite the file's.
        const std::string path =
            ombrix::qt::fromQ(QDir::toNativeSeparators(QFileInfo(args[1]).absoluteFilePath()));
        QTimer::singleShot(0, &fMain, [&platform, &model, path] {
            ombrix::qt::deliver(platform,
                                [&model, &path] { model.WMDropFiles(std::vector<std::string>{path}); });
        });
    }
    return app.exec();
}
