#include "platform/ui/Guard.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/UiServices.h"

#include <exception>
#include <new>

namespace vx {

namespace {

std::function<std::string(const std::exception&)>& MessageText() {
    static std::function<std::string(const std::exception&)> text;
    return text;
}

std::string Worded(const std::exception& e) {
    return MessageText() ? MessageText()(e) : std::string(e.what());
}

} // namespace

void SetGuardMessageText(std::function<std::string(const std::exception&)> text) {
    MessageText() = std::move(text);
}

bool Guard(const std::function<void()>& handler) {
    std::string message;
    try {
        handler();
        return true;
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& e) {
        message = Worded(e);
    } catch (...) {
        message = "Unknown error";
    }
    Ui().MessageDlg(message, TMsgDlgType::mtError, mbOK);
    return false;
}

} // namespace vx
