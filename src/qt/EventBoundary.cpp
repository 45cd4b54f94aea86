#include "qt/EventBoundary.h"

#include "window/Platform.h"

#include <exception>

namespace ombrix::qt {

bool deliver(Platform& platform, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        platform.showError(e.what());
    } catch (...) {
        // Nothing may travel on into Qt's event loop, which would end the program.
        platform.showError("Unknown error");
    }
    return false;
}

} // namespace ombrix::qt
