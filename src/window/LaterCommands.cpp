// Commands whose work is still to come: the window already calls them.

#include "window/Main.h"

namespace ombrix {

void TfMain::bReadXPLClick() {}
void TfMain::bRebuildClick() {}
void TfMain::RegRead() {}
void TfMain::RegWrite() {}

} // namespace ombrix
