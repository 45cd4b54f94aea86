#pragma once
// The one place where an error that ends a command is caught: where Qt delivers the user's
// event to the window model. The message goes to the error box and the window stays usable.

#include <functional>

namespace ombrix {
class Platform;
}

namespace ombrix::qt {

// Runs the handler; shows the message of an error that ends it. Returns false after an error.
bool deliver(Platform& platform, const std::function<void()>& handler);

} // namespace ombrix::qt
