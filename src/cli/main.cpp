// ombrix-cli: the window's commands without a window, for batch use, benchmarks and tests. It
// drives the same window model a user clicks: choose the file, press Read EVO, keep the chosen
// stream boxes, press Demux (or Rebuild, or Read XPL).

#include "cli/CliPlatform.h"
#include "engine/Errors.h"
#include "window/Main.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define OMBRIX_ISATTY(fd) _isatty(fd)
#define OMBRIX_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define OMBRIX_ISATTY(fd) isatty(fd)
#define OMBRIX_FILENO(f) fileno(f)
#endif

namespace {

using namespace ombrix;

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

const char* kUsage =
    "Usage: ombrix-cli COMMAND [options] FILE\n"
    "\n"
    "Commands:\n"
    "  scan  [options] FILE      choose FILE, press Read EVO\n"
    "  demux [options] FILE      choose FILE, press Read EVO, keep the chosen boxes, press Demux\n"
    "  rebuild [options] FILE    choose FILE, press Read EVO, keep the chosen boxes, press Rebuild\n"
    "  xpl [--evo FILE] XPLFILE  choose the EVO file and the playlist, press Read XPL; then print\n"
    "                            the XPL page's tree, children indented by two spaces\n"
    "\n"
    "Options:\n"
    "  --out DIR                 the output folder (default: the current folder)\n"
    "  --streams LIST            the boxes to keep ticked after the scan: \"all\" (default) or a\n"
    "                            comma list of v0, v1, a00..a15, s00..s15\n"
    "  --fast, --no-fast         Fast EVO checking (default on)\n"
    "  --count, --no-count       Count frames (default on)\n"
    "  --details, --no-details   Detailed info (default on)\n"
    "  --continue, --no-continue Continue with second EVO (default on)\n"
    "  --video-ext E, --audio-ext E, --sub-ext E\n"
    "                            the output extensions (defaults mpv, mpa, sup)\n"
    "  --help                    this text\n"
    "  --version                 the program's version\n"
    "\n"
    "The message log goes to standard output; errors go to standard error. Exit codes: 0 done,\n"
    "1 error, 2 usage error, 130 cancelled by Ctrl-C.\n";

struct UsageError {
    std::string message;
};

struct Options {
    std::string command;
    std::string file;
    std::string out;
    bool outGiven = false;
    std::string streams = "all";
    int fast = -1, count = -1, details = -1, cont = -1;
    std::string videoExt, audioExt, subExt;
    std::string evo;
    bool videoExtGiven = false, audioExtGiven = false, subExtGiven = false;
};

// v0, v1, a00..a15, s00..s15
bool validStreamName(const std::string& n) {
    auto digits = [&](std::size_t count) {
        if (n.size() != 1 + count) return -1;
        int v = 0;
        for (std::size_t k = 1; k < n.size(); ++k) {
            if (n[k] < '0' || n[k] > '9') return -1;
            v = v * 10 + (n[k] - '0');
        }
        return v;
    };
    if (n.empty()) return false;
    if (n[0] == 'v') return digits(1) >= 0 && digits(1) < 2;
    if (n[0] == 'a' || n[0] == 's') return digits(2) >= 0 && digits(2) < 16;
    return false;
}

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    auto value = [&](const std::string& name) {
        if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
        return args[++i];
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out") {
            o.out = value(a);
            o.outGiven = true;
        } else if (a == "--evo") {
            o.evo = value(a);
        } else if (a == "--streams") {
            o.streams = value(a);
        } else if (a == "--fast" || a == "--no-fast") {
            o.fast = a == "--fast";
        } else if (a == "--count" || a == "--no-count") {
            o.count = a == "--count";
        } else if (a == "--details" || a == "--no-details") {
            o.details = a == "--details";
        } else if (a == "--continue" || a == "--no-continue") {
            o.cont = a == "--continue";
        } else if (a == "--video-ext") {
            o.videoExt = value(a), o.videoExtGiven = true;
        } else if (a == "--audio-ext") {
            o.audioExt = value(a), o.audioExtGiven = true;
        } else if (a == "--sub-ext") {
            o.subExt = value(a), o.subExtGiven = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else if (o.command.empty()) {
            o.command = a;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            throw UsageError{"more than one FILE given"};
        }
    }
    if (o.command.empty()) throw UsageError{"no command given"};
    if (o.command != "scan" && o.command != "demux" && o.command != "rebuild" && o.command != "xpl")
        throw UsageError{"unknown command " + o.command};
    if (!o.evo.empty() && o.command != "xpl") throw UsageError{"--evo goes with xpl"};
    if (o.file.empty()) throw UsageError{"no FILE given"};
    if (o.streams != "all") {
        std::size_t start = 0;
        while (start <= o.streams.size()) {
            std::size_t comma = o.streams.find(',', start);
            if (comma == std::string::npos) comma = o.streams.size();
            if (!validStreamName(o.streams.substr(start, comma - start)))
                throw UsageError{"unknown stream name \"" + o.streams.substr(start, comma - start) + "\" in --streams"};
            start = comma + 1;
        }
    }
    return o;
}

// The box of a valid stream name of --streams.
CheckBox* boxNamed(TfMain& w, const std::string& name) {
    if (!validStreamName(name)) return nullptr;
    const auto n = static_cast<std::size_t>(std::stoi(name.substr(1)));
    return name[0] == 'v' ? &w.cbVideo[n] : name[0] == 'a' ? &w.cbAudio[n] : &w.cbSub[n];
}

// Keeps ticked only the boxes the list names; a named box that is not ticked is an error.
void keepStreams(TfMain& w, const std::string& list) {
    if (list == "all") return;
    std::set<CheckBox*> keep;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string name = list.substr(start, comma - start);
        CheckBox* cb = boxNamed(w, name);
        if (!cb) throw UsageError{"unknown stream name \"" + name + "\" in --streams"};
        if (!cb->checked()) throw ombrix::Error("The file has no stream " + name + ".");
        keep.insert(cb);
        start = comma + 1;
    }
    auto apply = [&](auto& boxes) {
        for (auto& cb : boxes)
            if (!keep.count(&cb)) cb.setChecked(false);
    };
    apply(w.cbVideo);
    apply(w.cbAudio);
    apply(w.cbSub);
}

void printTree(const std::vector<TreeNode>& nodes, int depth) {
    for (const auto& n : nodes) {
        std::string line(static_cast<std::size_t>(depth) * 2, ' ');
        line += n.text;
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        printTree(n.children, depth + 1);
    }
}

int run(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[k], "--version") == 0) {
            std::printf("ombrix-cli %s\n", OMBRIX_VERSION);
            return 0;
        }
    }
    Options o;
    try {
        o = parse(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ombrix-cli: %s\n%s", e.message.c_str(), "Try 'ombrix-cli --help'.\n");
        return 2;
    }

    cli::CliPlatform platform;
    TfMain w(platform);
    const bool progressShown = OMBRIX_ISATTY(OMBRIX_FILENO(stderr)) != 0;
    w.mMessage.onChange = [&w] {
        if (w.mMessage.lastChange != Memo::Change::Appended) return;
        const std::string& line = w.mMessage.lines().back();
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    };
    std::size_t progressWidth = 0;
    w.StatusBar.onChange = [&] {
        if (!progressShown) return;
        const std::string& text = w.StatusBar.panels[1].text;
        std::string shown = "\r" + text;
        if (text.size() < progressWidth) shown += std::string(progressWidth - text.size(), ' ');
        progressWidth = text.size();
        std::fputs(shown.c_str(), stderr);
        std::fflush(stderr);
    };
    platform.onPump = [&w] {
        std::fflush(stdout);
        if (interrupted) w.bCancelClick();
    };
    std::signal(SIGINT, onInterrupt);

    w.FormShow();
    w.FormActivate();
    if (o.fast >= 0) w.cbFastCheck.setChecked(o.fast);
    if (o.count >= 0) w.cbCountFr.setChecked(o.count);
    if (o.details >= 0) w.cbDetails.setChecked(o.details);
    if (o.cont >= 0) w.cbContinue.setChecked(o.cont);
    if (o.videoExtGiven) w.eVideoExt.setText(o.videoExt);
    if (o.audioExtGiven) w.eAudioExt.setText(o.audioExt);
    if (o.subExtGiven) w.eSubExt.setText(o.subExt);
    w.eWorkdir.setText(o.outGiven ? o.out : std::filesystem::current_path().string());

    int code = 0;
    try {
        if (o.command == "xpl") {
            if (!o.evo.empty()) {
                w.eEVOfile.setText(o.evo);
                w.EVOadj();
            }
            w.eXPLfile.setText(o.file);
            w.XPLadj();
            w.bReadXPLClick();
            std::fflush(stdout);
            printTree(w.tvXPL.nodes(), 0);
        } else {
            w.eEVOfile.setText(o.file);
            w.EVOadj();
            w.bCheckClick();
            if (o.command == "demux" && !interrupted) {
                keepStreams(w, o.streams);
                if (!w.bDemux.usable()) throw Error("No stream to demux.");
                w.bDemuxClick();
            } else if (o.command == "rebuild" && !interrupted) {
                keepStreams(w, o.streams);
                if (!w.bRebuild.usable()) throw Error("No stream to keep, or the file is not an EVO file.");
                w.bRebuildClick();
            }
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ombrix-cli: %s\n", e.message.c_str());
        code = 2;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        platform.showError(e.what());
        code = 1;
    }
    std::fflush(stdout);
    if (progressShown && progressWidth) std::fputs("\n", stderr);
    if (interrupted) return 130;
    return code;
}

} // namespace

int main(int argc, char** argv) { return run(argc, argv); }
