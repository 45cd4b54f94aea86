#include "xpl/XplReader.h"

#include "engine/Errors.h"

namespace ombrix::xpl {

XplReader::XplReader(EngineState& state, EngineHost& host, XplState& tables)
    : state_(state), host_(host), attributes_(tables) {
    scanner_.onLine = [this](const std::string& line) { attributes_.collect(line); };
}

XplReader::~XplReader() {
    if (open_) state_.InFile.reset();
}

void XplReader::open(const std::string& path, const std::string& name) {
    state_.InFile = FileStream::openRead(path);
    open_ = true;
    host_.log("Open " + name);
    host_.log("Filesize: " + std::to_string(state_.InFile->size()) + " bytes");
}

void XplReader::readAll() {
    FileStream& in = *state_.InFile;
    const std::int64_t size = in.size();
    while (in.position() < size) {
        const std::size_t count = in.read(state_.ReadBuf, kReadBufSize);
        // The file got shorter while it was read: stop rather than wait for the rest forever.
        if (count == 0) throw Error("Stream read error");
        host_.slog(std::to_string(in.position()) + "/" + std::to_string(size) + " bytes", 1);
        scanner_.feed(state_.ReadBuf, count);
    }
    in.close();
    state_.InFile.reset();
    open_ = false;
}

} // namespace ombrix::xpl
