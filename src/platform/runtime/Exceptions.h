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
// ErrorCode: the system's reason (an errno value), 0 when there is none.
class EWriteError : public Exception {
public:
    explicit EWriteError(std::string message, int errorCode = 0)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    int ErrorCode;
};
class EListError : public Exception {
    using Exception::Exception;
};
class EMathError : public Exception {
    using Exception::Exception;
};
// A file that cannot be opened or created; ErrorCode as for EWriteError. Path is the file
// when the error names one, so the message can be worded in the user's language.
class EFOpenError : public Exception {
public:
    explicit EFOpenError(std::string message, int errorCode = 0)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    // "Cannot create file "path". reason" or "Cannot open file "path". reason".
    static EFOpenError ForFile(const std::string& path, bool creating, int errorCode,
                               const std::string& reason) {
        EFOpenError error(std::string(creating ? "Cannot create file \"" : "Cannot open file \"") +
                              path + "\". " + reason,
                          errorCode);
        error.Path = path;
        error.Creating = creating;
        return error;
    }
    int ErrorCode;
    std::string Path;
    bool Creating = false;
};

} // namespace vx

namespace vx {
class EComponentError : public Exception {
    using Exception::Exception;
};
} // namespace vx
