#include "platform/ui/Guard.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/UiServices.h"

#include <exception>
#include <new>

namespace vx {

bool Guard(const std::function<void()>& handler) {
    std::string message;
    try {
        handler();
        return true;
    } catch (const Exception& e) {
        message = e.Message;
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    Ui().MessageDlg(message, TMsgDlgType::mtError, mbOK);
    return false;
}

} // namespace vx
