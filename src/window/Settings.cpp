#include "window/Main.h"

namespace ombrix {

void TfMain::RegRead() {}
void TfMain::RegWrite() {}

} // namespace ombrix
