#include "analysers/AnalyserState.h"

namespace ombrix {

void AnalyserState::fillAc3Tables() {
    Ac3Blocks = {1, 2, 3, 6};
    Ac3ModeNames = {"1+1", "1/0", "2/0", "3/0", "2/1", "3/1", "2/2", "3/2"};
}

} // namespace ombrix
