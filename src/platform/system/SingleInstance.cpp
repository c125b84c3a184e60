#include "platform/system/SingleInstance.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/system/IniFile.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

// A hand-over is a 4-byte little-endian length and the command line's bytes; the first copy
// answers one byte once it has taken it. Anything longer than this is not a command line.
constexpr uint32_t kMaxCommandLine = 1 << 20;
constexpr char kAck = 'K';
constexpr int kConnectMs = 1000;
constexpr int kWriteMs = 3000;
constexpr int kAckMs = 5000;
constexpr int kLockMs = 10000;
constexpr int kFolderCandidates = 10;

struct State {
    std::unique_ptr<QLocalServer> server;
    TCommandLineReceiver receiver;
    std::vector<std::string> pending;
    int failures = 0;
    bool initialised = false;
};

State& S() {
    static State state;
    return state;
}

void Deliver(const std::string& commandLine) {
    if (S().receiver)
        S().receiver(commandLine);
    else
        S().pending.push_back(commandLine);
}

// Reads one hand-over from a connection of the first copy's server.
void ServeConnection(QLocalSocket* socket) {
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
        buffer->append(socket->readAll());
        if (buffer->size() < 4)
            return;
        const auto* p = reinterpret_cast<const unsigned char*>(buffer->constData());
        const uint32_t length = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
        if (length > kMaxCommandLine) {
            socket->abort();
            return;
        }
        if (uint32_t(buffer->size()) - 4 < length)
            return;
        const std::string commandLine(buffer->constData() + 4, length);
        buffer->clear();
        socket->write(&kAck, 1);
        socket->flush();
        socket->disconnectFromServer();
        Deliver(commandLine);
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
}

// A folder only this user may change: a directory (not a link to one) that the user owns
// and nobody else may write to.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString LockFilePath() {
    return QString::fromUtf8(InstanceSocketPath()) + ".lock";
}

} // namespace

std::string InstanceName() {
    if (const char* name = std::getenv("VORNIX_INSTANCE_NAME"); name && *name)
        return name;
    return "vornix-" + std::to_string(getuid());
}

std::string InstanceFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && *runtime == '/' && IsPrivateFolder(runtime))
        return runtime;
    // The shared temporary folder: another account may have taken a name there before us,
    // so every copy of this user tries the same short list and takes the first it owns.
    const std::string temp = QDir::tempPath().toStdString();
    const std::string base = temp + "/vornix-" + std::to_string(::geteuid());
    for (int i = 0; i < kFolderCandidates; ++i) {
        const std::string folder = i == 0 ? base : base + "-" + std::to_string(i);
        ::mkdir(folder.c_str(), 0700);
        if (IsPrivateFolder(folder))
            return folder;
    }
    // All taken: a folder of this copy alone, which receives no hand-overs of other copies.
    std::string unique = base + "-XXXXXX";
    if (::mkdtemp(unique.data()))
        return unique;
    return base;
}

std::string InstanceSocketPath() {
    return InstanceFolder() + "/" + InstanceName();
}

bool MultipleInstancesAllowed(const std::string& programPath) {
    const TIniFile ini(ExtractFilePath(programPath) + "sig_gen.ini");
    int32_t value = 0;
    return TryStrToInt(ini.ReadString("Options", "MultipleInstance", ""), value) && value != 0;
}

std::string HandOverCommandLine(const std::vector<std::string>& args,
                                const std::string& currentDir) {
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (i > 0 && !arg.empty() && !IsPathDelimiter(arg[0]))
            arg = IncludeTrailingPathDelimiter(currentDir) + arg;
        if (i > 0)
            text += ' ';
        text += '"' + arg + '"';
    }
    return text;
}

bool BecomeFirstInstance() {
    const QString name = QString::fromUtf8(InstanceSocketPath());
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // A copy that crashed leaves its socket behind; nobody answered it, so take it over.
        QLocalServer::removeServer(name);
        if (!server->listen(name)) {
            S().failures |= sifListen;
            return false;
        }
    }
    QLocalServer* raw = server.get();
    QObject::connect(raw, &QLocalServer::newConnection, raw, [raw] {
        while (QLocalSocket* socket = raw->nextPendingConnection())
            ServeConnection(socket);
    });
    S().server = std::move(server);
    return true;
}

bool SendCommandLineToFirstInstance(const std::string& commandLine) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromUtf8(InstanceSocketPath()));
    if (!socket.waitForConnected(kConnectMs))
        return false;
    QByteArray message(4, '\0');
    const auto length = uint32_t(commandLine.size());
    for (int i = 0; i < 4; ++i)
        message[i] = char((length >> (8 * i)) & 0xFF);
    message.append(commandLine.data(), qsizetype(commandLine.size()));
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kWriteMs))
            return false;
    // The bytes now wait in the socket even if the first copy is busy; the answer only says
    // that it has taken them already.
    socket.waitForReadyRead(kAckMs);
    return true;
}

TInstanceRole CheckSingleInstance(const std::vector<std::string>& args,
                                  const std::string& currentDir) {
    QLockFile lock(LockFilePath());
    if (!lock.tryLock(kLockMs))
        S().failures |= sifLockFile;
    QLocalSocket probe;
    probe.connectToServer(QString::fromUtf8(InstanceSocketPath()));
    const bool otherRuns = probe.waitForConnected(kConnectMs);
    probe.abort();
    if (!otherRuns) {
        BecomeFirstInstance();
        return TInstanceRole::First;
    }
    const std::string program = args.empty() ? std::string() : args[0];
    if (MultipleInstancesAllowed(program))
        return TInstanceRole::Independent;
    if (SendCommandLineToFirstInstance(HandOverCommandLine(args, currentDir)))
        return TInstanceRole::HandedOver;
    // The other copy went away between the probe and the hand-over: this one is first now.
    BecomeFirstInstance();
    return TInstanceRole::First;
}

TInstanceRole InitSingleInstance(const std::vector<std::string>& args,
                                 const std::string& currentDir) {
    if (S().initialised)
        return S().server ? TInstanceRole::First : TInstanceRole::Independent;
    S().initialised = true;
    return CheckSingleInstance(args, currentDir);
}

void DoneSingleInstance() {
    S().server.reset();
    S().receiver = nullptr;
    S().pending.clear();
    S().initialised = false;
}

int SingleInstanceFailures() {
    return S().failures;
}

void SetCommandLineReceiver(TCommandLineReceiver receiver) {
    S().receiver = std::move(receiver);
    if (!S().receiver)
        return;
    std::vector<std::string> pending;
    pending.swap(S().pending);
    for (const std::string& commandLine : pending)
        S().receiver(commandLine);
}

} // namespace vx
