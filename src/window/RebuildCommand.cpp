#include "window/Main.h"

namespace ombrix {

void TfMain::bRebuildClick() {}

} // namespace ombrix
