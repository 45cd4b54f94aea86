#include "analysers/Analysers.h"

// Placeholders until the analysers are written: the payload handler already calls them.

namespace ombrix {

void AC3info(EngineState&, EngineHost&, std::int32_t, std::int32_t, std::int32_t) {}
void DTSinfo(EngineState&, EngineHost&, std::int32_t, std::int32_t, std::int32_t) {}
void VC1info(EngineState&, EngineHost&, std::int32_t, std::int32_t, std::uint32_t, std::int64_t) {}
void H264info(EngineState&, EngineHost&, std::int32_t, std::int32_t, std::uint32_t, std::uint32_t) {}
void MPEG2info(EngineState&, EngineHost&, std::int32_t, std::int32_t, std::uint32_t, std::uint32_t) {}

} // namespace ombrix
