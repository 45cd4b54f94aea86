// The Ombrix program: the application object, titled "HD DVD Ombrix", the one window fMain
// over the window model, and the event loop.

#include "qt/Application.h"
#include "qt/MainWindow.h"
#include "qt/QtPlatform.h"
#include "qt/SettingsStoreQt.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ombrix::qt::setUpApplication(app);
    ombrix::qt::QtPlatform platform;
    platform.setSettingsStore(std::make_unique<ombrix::qt::SettingsStoreQt>());
    ombrix::TfMain model(platform);
    ombrix::qt::MainWindow fMain(model, platform);
    fMain.show();
    return app.exec();
}
