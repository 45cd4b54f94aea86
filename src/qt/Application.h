#pragma once
// Program start: the application object's title and the fonts of the window.

#include <QFont>

class QApplication;

namespace ombrix::qt {

// Ties the application to its desktop entry, ombrix.desktop ("HD DVD Ombrix"), and makes Tahoma
// 8 pt the font of every control when the system has it or the Tahoma of Wine's fonts can be
// loaded; otherwise the system's font stays.
void setUpApplication(QApplication& app);
// True when the controls got Tahoma.
bool tahomaInstalled();
// The font of the XPL text pane: Courier New, or the system's fixed-pitch font in its place.
QFont xplFont();

} // namespace ombrix::qt
