#pragma once
// The program's own pictures, drawn at start: the logo of the bottom row and the open-folder
// picture of the browse buttons (with its greyed form for the disabled state).

#include <QIcon>
#include <QPixmap>

namespace ombrix::qt {

inline constexpr int kLogoWidth = 125;
inline constexpr int kLogoHeight = 31;

// 125 x 31, transparent around the picture.
QPixmap logoPicture();
// A 16 x 16 open folder; `greyed` gives the disabled form.
QPixmap openFolderPicture(bool greyed);
// Both forms as one icon (normal and disabled).
QIcon openFolderIcon();

} // namespace ombrix::qt
