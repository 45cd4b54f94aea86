#pragma once
// What the stream analysers remember for themselves between calls.

namespace ombrix {

struct AnalyserState {};

} // namespace ombrix
