// Compiled as GBK: the out-of-memory text is shown as it stands.
#include "wizard/handler_boundary.h"

#include <new>

namespace zsetup {

std::string UserTextOf(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error)) return "  提示：内存不足，无法继续。  ";
    return error.what();
}

std::function<void()> HandlerBoundary::Wrap(std::function<void()> handler) {
    return [this, handler = std::move(handler)] {
        ++depth_;
        try {
            handler();
        } catch (const std::exception& e) {
            if (--depth_ > 0) throw;
            dialogs_.ShowMessage(UserTextOf(e), form_.application_title(), kMbOk | kMbIconError);
            return;
        } catch (...) {
            --depth_;
            throw;
        }
        --depth_;
    };
}

bool HandlerBoundary::Run(const std::function<void()>& step) {
    bool completed = false;
    Wrap([&] {
        step();
        completed = true;
    })();
    return completed;
}

}  // namespace zsetup
