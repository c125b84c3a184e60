#include "app/TcpCommands.h"

#include "app/Main.h"
#include "data/WPComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"
#include "platform/system/TcpServer.h"

#include <QByteArrayView>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

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

// The test or configuration as it exists (found one component at a time), or "" when it is
// not a regular file that opens for reading; a name holding a NUL is never handed to the
// system cut short.
std::string ReadableFile(TPathLookup& lookup, const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return "";
    return lookup.FindReadableFile(path);
}

// The target is written by the job much later: its folder must exist and take a new file
// now, or the client would be told "accepted" for a PDF that can never appear.
bool WritableFolder(const std::string& target) {
    const std::string folder = ExtractFilePath(target);
    const std::string local = folder.empty() ? std::string(".") : ToLocalPath(folder);
    struct stat info {};
    return ::stat(local.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(local.c_str(), W_OK | X_OK) == 0;
}

// OPN and PRN have no reply to refuse with: a file that is missing or not a readable
// regular file is left out of the job and named in the log.
std::string Skipping(TPathLookup& lookup, const std::string& path, TTcpAnswer& answer) {
    std::string file = ReadableFile(lookup, path);
    if (file.empty() && !path.empty())
        answer.Skipped.push_back(path);
    return file;
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
    TPathLookup lookup;
    switch (command) {
    case 0:
        answer.Reply = ConfigurationList(snapshot);
        break;
    case 1:
    case 2: {
        const std::string test = DecodeTcpField(TakeField(buffer));
        const std::string target = command == 1 ? DecodeTcpField(TakeField(buffer)) : "";
        const std::string config = DecodeTcpField(TakeField(buffer));
        const std::string testFile = ReadableFile(lookup, test);
        const std::string configFile = ReadableFile(lookup, config);
        const std::string targetName = ExtractFileName(target);
        if (testFile.empty()) {
            answer.Reply = Error('2', true);
        } else if (configFile.empty()) {
            answer.Reply = Error('3', true);
        } else if (command == 1 && (targetName.empty() || target.find('\0') != std::string::npos ||
                                    !IsValidFileName(targetName) || !WritableFolder(target))) {
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
        answer.Job = TRemoteJob{TRemoteCommand::Opn,
                                Skipping(lookup, DecodeTcpField(buffer), answer), "", ""};
        break;
    }
    case 4: {
        buffer.pop_back();
        const size_t stx = buffer.find(STX);
        TRemoteJob job{TRemoteCommand::Prn,
                       Skipping(lookup, DecodeTcpField(buffer.substr(0, stx)), answer), "", ""};
        if (stx != std::string::npos)
            job.ConfigFile = Skipping(lookup, DecodeTcpField(buffer.substr(stx + 1)), answer);
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
    for (const std::string& path : answer.Skipped)
        TMainForm::DebugLog("No Exists->", path);
    if (answer.Job && queueJob)
        queueJob(*answer.Job);
}

} // namespace vx
