#pragma once
// An engine host for engine tests: records the log and the status line, holds the options and
// the stream ticks, and runs a hook at every message pump.

#include "engine/EngineHost.h"
#include "engine/Format.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace ombrix::testing {

class FakeHost : public EngineHost {
public:
    std::vector<std::string> lines;
    std::vector<std::pair<std::string, int>> statusTexts;
    bool fast = true, count = true, detailed = true;
    std::array<bool, 2> video{true, true};
    std::array<bool, 16> audio{};
    std::array<bool, 16> sub{};
    bool cancelEnabled = false;
    int pumps = 0, repaints = 0;
    std::function<void()> onPump;
    double clock = 46000.0, clockStep = 0;

    FakeHost() {
        audio.fill(true);
        sub.fill(true);
    }
    void log(const std::string& text) override { lines.push_back(text); }
    void slog(const std::string& text, std::uint8_t panel) override { statusTexts.emplace_back(text, panel); }
    bool fastCheck() override { return fast; }
    bool countFrames() override { return count; }
    bool details() override { return detailed; }
    bool videoTicked(int slot) override { return video[static_cast<std::size_t>(slot)]; }
    bool audioTicked(int slot) override { return audio[static_cast<std::size_t>(slot)]; }
    bool subTicked(int slot) override { return sub[static_cast<std::size_t>(slot)]; }
    void setCancelEnabled(bool enabled) override { cancelEnabled = enabled; }
    void processMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    void repaintWindow() override { ++repaints; }
    double now() override {
        const double t = clock;
        clock += clockStep;
        return t;
    }
    std::string timeText(double days) override { return formatTimeOfDay(days, "h:mm:ss"); }
    std::string floatText(double value) override { return generalFloat(value, '.'); }
};

} // namespace ombrix::testing
