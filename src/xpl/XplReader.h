#pragma once
// Reads the playlist file: opens it into the input file holder, reports it, and hands every
// block through the tag scanner, whose lines feed the attribute tables as they come.

#include "engine/EngineHost.h"
#include "engine/State.h"
#include "xpl/PlaylistAttributes.h"
#include "xpl/TagScanner.h"
#include "xpl/XplState.h"

#include <string>
#include <vector>

namespace ombrix::xpl {

class XplReader {
  public:
    XplReader(EngineState& state, EngineHost& host, XplState& tables);
    // Closes the file if an error ended the read.
    ~XplReader();
    XplReader(const XplReader&) = delete;
    XplReader& operator=(const XplReader&) = delete;

    // Opens the file into the input file holder ("Cannot open file ...") and logs
    // "Open <name>" and "Filesize: <n> bytes".
    void open(const std::string& path, const std::string& name);
    // Reads the open file to its end in blocks of the read buffer's size, with the progress
    // on panel 1, and closes it. Fails with "Stream read error" when the file ends early, or
    // with the error of an attribute item whose index is not a whole number.
    void readAll();

    // The tag lines read so far (all of them once read() has returned).
    std::vector<std::string>& lines() { return scanner_.lines(); }
    const std::string& playlistTitle() const { return attributes_.playlistTitle(); }

  private:
    EngineState& state_;
    EngineHost& host_;
    TagScanner scanner_;
    PlaylistAttributes attributes_;
    bool open_ = false;
};

} // namespace ombrix::xpl
