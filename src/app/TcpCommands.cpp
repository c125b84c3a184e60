#include "app/TcpCommands.h"

#include "data/WPComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"
#include "platform/system/TcpServer.h"

#include <QByteArrayView>

#include <algorithm>

namespace vx {

namespace {

// The text before the next STX, which is consumed with it; empty when no STX is left.
std::string TakeField(std::string& buffer) {
    const size_t stx = buffer.find(STX);
    if (stx == std::string::npos)
        return "";
    std::string field = buffer.substr(0, stx);
    buffer.erase(0, stx + 1);
    return field;
}

bool IsValidUtf8WithNonAscii(std::string_view s) {
    const bool nonAscii = std::any_of(s.begin(), s.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return nonAscii && QByteArrayView(s.data(), qsizetype(s.size())).isValidUtf8();
}

// The file as it exists (found one component at a time), or "" when it does not; a name
// holding a NUL is never handed to the system cut short.
std::string ExistingFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return "";
    return FindExistingPath(path);
}

std::string Error(char code, bool closingStx) {
    std::string reply = std::string("ERR") + STX + code;
    if (closingStx)
        reply += STX;
    return reply + ETX;
}

std::string ConfigurationList(const TTcpSnapshot& snapshot) {
    const std::string folder = snapshot.BasePath + "Configurazioni/";
    TStringList names;
    ListFilesByMask(names, folder + "*.CPF");
    std::string reply = std::string("CFG") + STX + folder + STX;
    for (int i = 0; i < names.Count(); ++i)
        reply += names[i] + STX;
    return reply + ETX;
}

} // namespace

THeadVerdict HttpHeadVerdict(std::string_view head) {
    static constexpr std::string_view kMethods[] = {"GET",     "HEAD",    "POST",  "PUT",  "DELETE",
                                                    "CONNECT", "OPTIONS", "TRACE", "PATCH"};
    for (std::string_view method : kMethods) {
        const size_t n = std::min(head.size(), method.size() + 1);
        if (head.substr(0, n) == (std::string(method) + ' ').substr(0, n))
            return n == method.size() + 1 ? THeadVerdict::Refuse : THeadVerdict::Undecided;
    }
    return THeadVerdict::Accept;
}

std::string DecodeTcpField(std::string_view bytes) {
    return IsValidUtf8WithNonAscii(bytes) ? Utf8ToCp1252(bytes) : std::string(bytes);
}

TTcpAnswer HandleTcpRequest(std::string_view request, const TTcpSnapshot& snapshot) {
    std::string buffer(request);
    buffer += ETX;
    const std::string word = TakeField(buffer);
    int command = -1;
    for (int i = 0; i < 5; ++i)
        if (SameText(word, kTcpCommandWords[i]))
            command = i;
    TTcpAnswer answer;
    switch (command) {
    case 0:
        answer.Reply = ConfigurationList(snapshot);
        break;
    case 1:
    case 2: {
        const std::string test = DecodeTcpField(TakeField(buffer));
        const std::string target = command == 1 ? DecodeTcpField(TakeField(buffer)) : "";
        const std::string config = DecodeTcpField(TakeField(buffer));
        const std::string testFile = ExistingFile(test);
        const std::string configFile = ExistingFile(config);
        const std::string targetName = ExtractFileName(target);
        if (testFile.empty()) {
            answer.Reply = Error('2', true);
        } else if (configFile.empty()) {
            answer.Reply = Error('3', true);
        } else if (command == 1 && (targetName.empty() || target.find('\0') != std::string::npos ||
                                    !IsValidFileName(targetName))) {
            // An empty name would print and then copy to nowhere after "accepted".
            answer.Reply = Error('4', true);
        } else {
            answer.Reply = std::string(command == 1 ? "PDF" : "VRX") + STX + "1" + ETX;
            answer.Job = TRemoteJob{command == 1 ? TRemoteCommand::Pdf : TRemoteCommand::Vrx,
                                    testFile, target, configFile};
        }
        break;
    }
    case 3: {
        buffer.pop_back(); // the ETX
        answer.Job = TRemoteJob{TRemoteCommand::Opn, DecodeTcpField(buffer), "", ""};
        break;
    }
    case 4: {
        buffer.pop_back();
        const size_t stx = buffer.find(STX);
        TRemoteJob job{TRemoteCommand::Prn, DecodeTcpField(buffer.substr(0, stx)), "", ""};
        if (stx != std::string::npos)
            job.ConfigFile = DecodeTcpField(buffer.substr(stx + 1));
        answer.Job = job;
        break;
    }
    default:
        answer.Reply = Error('1', false);
        break;
    }
    return answer;
}

void ServeTcpRequest(TTcpConnection& connection, const TTcpSnapshot& snapshot,
                     const std::function<void(const TRemoteJob&)>& queueJob,
                     const std::function<bool(const TRemoteJob&)>& reserve) {
    std::string request;
    switch (connection.ReadLn(request, ETX, kTcpReadTimeoutMs, kMaxTcpRequest)) {
    case TTcpConnection::TReadResult::TimedOut:
        return;
    case TTcpConnection::TReadResult::TooLong:
    case TTcpConnection::TReadResult::Closed:
        connection.Close();
        return;
    case TTcpConnection::TReadResult::Line:
        break;
    }
    TTcpAnswer answer = HandleTcpRequest(request, snapshot);
    if (answer.Job && reserve && !reserve(*answer.Job)) {
        if (answer.Reply)
            answer.Reply = Error('5', true);
        answer.Job.reset();
    }
    if (answer.Reply)
        connection.WriteLn(*answer.Reply);
    if (answer.Job && queueJob)
        queueJob(*answer.Job);
}

} // namespace vx
