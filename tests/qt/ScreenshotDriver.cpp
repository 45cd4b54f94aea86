// Takes the screenshots of the README: the window on the demo disc after Read EVO with the
// Status, Video, Audio and Subpicture pages in front, then after Read XPL with the XPL page,
// and the Options page. tools/screenshot runs it under Xvfb.
//
//   ombrix-screenshots OUTPUT_FOLDER

#include "support/DemoDisc.h"

#include "qt/Application.h"
#include "qt/MainWindow.h"
#include "qt/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <cstdio>

namespace {

void settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
}

// The window's own pixels as the display shows them; the widget's rendering where the
// platform can't read the screen back.
QPixmap shot(QWidget& window) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QPixmap screen = window.screen()->grabWindow(window.winId());
        if (!screen.isNull()) return screen;
    }
    return window.grab();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ombrix::qt::setUpApplication(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }

    // The demo disc: the feature in HVDVD_TS, so the XPL field is derived too.
    QTemporaryDir disc;
    const auto demo = ombrix::testing::makeDemoDisc(disc.filePath(QStringLiteral("DEMO_DISC")).toStdString());
    const QString evo = QString::fromStdString(demo.feature1);

    // The program's window with a store that holds nothing: the user's settings stay as they are.
    ombrix::qt::QtPlatform platform;
    ombrix::TfMain model(platform);
    ombrix::qt::MainWindow window(model, platform);
    window.show();
    settle();

    // Dropped as from a file manager, then Read EVO.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(evo)});
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    window.button(model.bCheck)->click();
    settle();

    const struct {
        ombrix::Page page;
        const char* file;
        bool readXplFirst;
    } pages[] = {{ombrix::tsStatus, "status.png", false}, {ombrix::tsVideo, "video.png", false},
                 {ombrix::tsAudio, "audio.png", false},   {ombrix::tsSubpicture, "subpicture.png", false},
                 {ombrix::tsXPL, "xpl.png", true},        {ombrix::tsOption, "options.png", false}};
    for (const auto& p : pages) {
        if (p.readXplFirst) {
            window.button(model.bReadXPL)->click();
            settle();
        }
        window.pages()->setCurrentIndex(p.page);
        settle();
        const QString file = out.filePath(QString::fromLatin1(p.file));
        if (!shot(window).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
