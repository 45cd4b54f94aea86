// The Rebuild command: a copy of the EVO file (and its second file) that keeps only the ticked
// streams, renumbered, in one ".rebuilt.EVO" file.

#include "engine/State.h"
#include "rebuild/Rebuild.h"
#include "window/Main.h"
#include "window/PathRules.h"

#include <exception>

namespace ombrix {

namespace {

// When an error ends the command: every file it opened is closed, Cancel is disabled again
// and Demux and Rebuild come back, so that the user can try again at once.
class RebuildCleanup {
  public:
    explicit RebuildCleanup(TfMain& w) : w_(w), exceptions_(std::uncaught_exceptions()) {}
    ~RebuildCleanup() {
        w_.st.closeAllQuietly();
        if (std::uncaught_exceptions() > exceptions_) {
            w_.bCancel.setEnabled(false);
            w_.bRebuild.setEnabled(true);
            w_.bDemux.setEnabled(true);
        }
    }
    RebuildCleanup(const RebuildCleanup&) = delete;
    RebuildCleanup& operator=(const RebuildCleanup&) = delete;

  private:
    TfMain& w_;
    int exceptions_;
};

} // namespace

void TfMain::bRebuildClick() {
    if (!bRebuild.usable()) return;
    PassGuard guard(*this);
    bDemux.setEnabled(false);
    bRebuild.setEnabled(false);
    PageControl.setActivePage(tsStatus);
    const std::string folder = eWorkdir.text();

    rebuild.reset();

    const std::string second = startOutBase();
    const std::string output = outputPrefix(folder) + ".rebuilt.EVO";

    {
        RebuildCleanup cleanup(*this);
        log("Opening file " + st.EVOname);
        slog("Opening", 0);
        st.InFile = FileStream::openRead(eEVOfile.text());
        log("File size: " + std::to_string(st.InFile->size() / 1048576) + " Mbytes.");

        st.VideoOut[0] = FileStream::create(output);
        log("Creating " + output);
        const std::string firstName = ExtractFileName(st.InFile->path());
        slog("Rebuilding " + firstName, 0);
        Rebuild(st, rebuild, *this, firstName);

        if (goesOnWith(second)) {
            const std::string secondName = openSecondFile(second);
            slog("Rebuilding " + secondName, 0);
            Rebuild(st, rebuild, *this, secondName);
        }
        // Closing here reports a failed final write; the clean-up then has nothing left to close.
        st.closeAll();
    }

    log("Done.");
    log("");
    slog("Ready", 0);
    slog("", 1);
    bRebuild.setEnabled(true);
    bDemux.setEnabled(true);
}

} // namespace ombrix
