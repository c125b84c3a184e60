#pragma once

#include <stdexcept>
#include <string>

namespace vx {

// Common base of every exception the system raises; the message is a cp1252 byte string.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class EReadError : public Exception {
    using Exception::Exception;
};
class EWriteError : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};
class EMathError : public Exception {
    using Exception::Exception;
};
// A file that cannot be opened or created.
class EFOpenError : public Exception {
    using Exception::Exception;
};

} // namespace vx

namespace vx {
class EComponentError : public Exception {
    using Exception::Exception;
};
} // namespace vx
