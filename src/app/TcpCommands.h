#pragma once

// The command protocol of the TCP server: a request is a command word, STX, its fields and
// ETX; the reply uses the same framing. Parsing and checking run on the connection's thread
// and touch only the file system and a snapshot of the settings; the document work of an
// accepted request is handed back as a job for the GUI thread, after the reply is sent.

#include "platform/system/TcpServer.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

inline constexpr char STX = '\x02';
inline constexpr char ETX = '\x03';
inline constexpr size_t kMaxTcpRequest = 32000;
inline constexpr int kTcpReadTimeoutMs = 200;
// Jobs that may wait for the GUI thread; one more is refused with "ERR" STX "5".
inline constexpr size_t kMaxWaitingJobs = 100;

// The command words; a word's place selects its command.
inline constexpr const char* kTcpCommandWords[] = {"CFG", "PDF", "VRX", "OPN", "PRN"};

enum class TRemoteCommand { Pdf, Vrx, Opn, Prn };

struct TRemoteJob {
    TRemoteCommand Command = TRemoteCommand::Pdf;
    std::string TestFile;
    std::string TargetFile; // PDF only
    std::string ConfigFile; // empty for OPN, and for PRN without one
};

// What the connection thread may read: taken when the server starts.
struct TTcpSnapshot {
    std::string BasePath;
};

struct TTcpAnswer {
    std::optional<std::string> Reply; // without its CR LF; none for OPN and PRN
    std::optional<TRemoteJob> Job;
    // OPN and PRN paths left out of the job: missing, or not readable regular files.
    std::vector<std::string> Skipped;
};

// A field as the program holds it: valid UTF-8 with non-ASCII bytes is converted to cp1252,
// anything else is taken as cp1252 bytes already.
std::string DecodeTcpField(std::string_view bytes);

// A connection that opens like an HTTP request (a method word and a blank) comes from a web
// page, never from a client of these commands: it is refused before its body is read.
THeadVerdict HttpHeadVerdict(std::string_view head);

// One request, the bytes before its ETX.
TTcpAnswer HandleTcpRequest(std::string_view request, const TTcpSnapshot& snapshot);

// One pass of a connection: reads one request (at most 200 ms; a time-out keeps the partial
// request and sends nothing), replies, then hands the job on. An over-long request closes the
// connection without a reply. reserve, when given, holds a place for the job before the reply
// and says false when the queue is full: VRX and PDF are then answered "ERR" STX "5" STX ETX,
// OPN and PRN are dropped, and no job is handed on.
void ServeTcpRequest(TTcpConnection& connection, const TTcpSnapshot& snapshot,
                     const std::function<void(const TRemoteJob&)>& queueJob,
                     const std::function<bool(const TRemoteJob&)>& reserve = {});

} // namespace vx
