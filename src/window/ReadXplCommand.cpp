#include "window/Main.h"

namespace ombrix {

void TfMain::bReadXPLClick() {}

} // namespace ombrix
