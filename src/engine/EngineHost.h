#pragma once
// What the engine needs from the window around it: the message log and status line, the
// options and stream ticks as they are at this moment, the Cancel button, the message pump,
// the clock and the locale. The window implements it; tests implement it directly.

#include <cstdint>
#include <string>

namespace ombrix {

class EngineHost {
public:
    virtual ~EngineHost() = default;

    virtual void log(const std::string& text) = 0;
    virtual void slog(const std::string& text, std::uint8_t panel) = 0;

    // Options, read each time they are needed.
    virtual bool fastCheck() = 0;
    virtual bool countFrames() = 0;
    virtual bool details() = 0;

    // The stream check boxes: video slots 0-1, audio slots 0-15, subpicture slots 0-15.
    virtual bool videoTicked(int slot) = 0;
    virtual bool audioTicked(int slot) = 0;
    virtual bool subTicked(int slot) = 0;

    virtual void setCancelEnabled(bool enabled) = 0;
    // Lets the window handle its pending messages (Cancel may be pressed here).
    virtual void processMessages() = 0;
    virtual void repaintWindow() = 0;

    // The current local date and time as days with fraction.
    virtual double now() = 0;
    // A day fraction as a time of day in the user's long time format.
    virtual std::string timeText(double days) = 0;
    // A number in the shortest general form with the user's decimal separator.
    virtual std::string floatText(double value) = 0;
};

} // namespace ombrix
