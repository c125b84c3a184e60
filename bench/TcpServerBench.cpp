// The command server's cost per request: the handler alone on the longest request it takes,
// and a whole round trip over a loopback socket, one connection kept open.

#include "app/TcpCommands.h"
#include "platform/system/TcpServer.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

// A port nobody listens on just now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t size = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

void BM_HandleLongestRequest(benchmark::State& state) {
    const vx::TTcpSnapshot snapshot{"/nonexistent/"};
    const std::string request = "XYZ\x02" + std::string(31996, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(vx::HandleTcpRequest(request, snapshot));
}
BENCHMARK(BM_HandleLongestRequest);

void BM_ConfigurationListingRoundTrip(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    QDir().mkpath(QString::fromStdString(base + "Configurazioni"));
    for (int i = 0; i < 20; ++i) {
        QFile f(QString::fromStdString(base + "Configurazioni/c" + std::to_string(i) + ".CPF"));
        f.open(QIODevice::WriteOnly);
    }
    const vx::TTcpSnapshot snapshot{base};
    vx::TTcpServer server;
    server.OnExecute = [&](vx::TTcpConnection& c) { vx::ServeTcpRequest(c, snapshot, {}); };
    server.Activate("127.0.0.1", FreePort());
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(server.Port()));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        state.SkipWithError("no connection");
        return;
    }
    char buffer[8192];
    for (auto _ : state) {
        ::send(fd, "CFG\x02\x03", 5, MSG_NOSIGNAL);
        std::string got;
        while (got.find("\r\n") == std::string::npos) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            got.append(buffer, size_t(n));
        }
        benchmark::DoNotOptimize(got);
    }
    ::close(fd);
    server.Deactivate();
}
BENCHMARK(BM_ConfigurationListingRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
