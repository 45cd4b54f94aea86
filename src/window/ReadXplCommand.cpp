// The Read XPL command: reads the disc's playlist, keeps in the XPL page's memo the title that
// plays the chosen EVO file, lists that title in the tree, and ticks the stream check boxes of
// the tracks it lists.

#include "window/Main.h"
#include "window/PathRules.h"
#include "xpl/TitleListing.h"
#include "xpl/XplReader.h"

#include <span>

namespace ombrix {

namespace {

using xpl::kSlotCount;
using xpl::listTitle;
using xpl::TitleListing;
using xpl::trimToTitle;
using xpl::XplReader;
using xpl::XplTrack;

std::vector<TreeNode> leaves(const std::vector<std::string>& texts) {
    std::vector<TreeNode> nodes;
    nodes.reserve(texts.size());
    for (const std::string& text : texts)
        nodes.push_back({text, {}});
    return nodes;
}

std::vector<TreeNode> treeOf(const TitleListing& listing) {
    return {{"Info", leaves(listing.info)},
            {"Video", leaves(listing.video)},
            {"Audio", leaves(listing.audio)},
            {"Subtitle", leaves(listing.subtitle)},
            {"Chapter", leaves(listing.chapter)}};
}

// When an error ends the read: the memo comes back with the lines read up to the error (the
// last one is where it stopped), and Read XPL can be pressed again.
class RestoreOnError {
  public:
    RestoreOnError(TfMain& w, XplReader& reader) : w_(w), reader_(reader) {}
    ~RestoreOnError() {
        if (done) return;
        if (filling) w_.mXPL.setLines(reader_.lines());
        w_.mXPL.setVisible(true);
        w_.bReadXPL.setEnabled(true);
    }
    RestoreOnError(const RestoreOnError&) = delete;
    RestoreOnError& operator=(const RestoreOnError&) = delete;
    bool filling = false;
    bool done = false;

  private:
    TfMain& w_;
    XplReader& reader_;
};

} // namespace

void TfMain::bReadXPLClick() {
    if (!bReadXPL.usable()) return;
    Resetcbs();
    bReadXPL.setEnabled(false);
    PageControl.setActivePage(tsXPL);

    XplReader reader(st, *this, xpl);
    RestoreOnError restore(*this, reader);
    reader.open(eXPLfile.text(), st.XPLname);
    // The memo stays hidden while it is filled and cut, so that it is drawn once.
    mXPL.clear();
    mXPL.setVisible(false);
    restore.filling = true;
    reader.readAll();

    st.VideoKey.fill(-1);
    st.AudioKey.fill(-1);
    st.SubKey.fill(-1);
    std::vector<std::string>& lines = reader.lines();
    // The title of the chosen EVO file: its own base name, also when a command that went on
    // with the second file has extended OutBase with that file's name.
    st.OutBase = CutExt(st.EVOname);
    if (trimToTitle(lines, st.OutBase)) {
        const TitleListing listing =
            listTitle(lines, reader.playlistTitle(), xpl,
                      {std::span<std::int32_t, 16>(st.VideoKey), std::span<std::int32_t, 16>(st.AudioKey),
                       std::span<std::int32_t, 16>(st.SubKey.data(), 16)});
        tvXPL.setNodes(treeOf(listing));
        for (const XplTrack& track : listing.tracks) {
            log(track.text + " found!");
            const bool boxed = track.number >= 1 && track.number <= kSlotCount;
            const std::size_t slot = boxed ? static_cast<std::size_t>(track.number - 1) : 0;
            switch (track.kind) {
            case XplTrack::Kind::Video:
                if (track.number == 1) {
                    cbVideo[0].setEnabled(true);
                    cbVideo[0].setChecked(true);
                    cbVideo[0].setCaption(track.text);
                }
                break;
            case XplTrack::Kind::Audio:
                if (boxed) {
                    cbAudio[slot].setEnabled(true);
                    cbAudio[slot].setChecked(true);
                    cbAudio[slot].setCaption(track.text);
                    cbAudio[slot].setHint(track.text);
                }
                break;
            case XplTrack::Kind::Subtitle:
                if (boxed) {
                    cbSub[slot].setEnabled(true);
                    cbSub[slot].setChecked(true);
                    cbSub[slot].setCaption(track.text);
                    cbSub[slot].setHint(track.text);
                }
                break;
            }
        }
    }
    mXPL.setLines(std::move(lines));
    mXPL.setVisible(true);
    restore.done = true;

    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
    bReadXPL.setEnabled(true);
}

} // namespace ombrix
