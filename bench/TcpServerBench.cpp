// The command server's cost per request: the handler alone on the longest request it takes,
// and a whole round trip over a loopback socket, one connection kept open.

#include "app/TcpCommands.h"
#include "platform/system/TcpServer.h"
#include "support/TcpTestClient.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

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
    server.Activate("127.0.0.1", vx::test::FreePort());
    vx::test::Client client(server.Port());
    if (!client.Connected()) {
        state.SkipWithError("no connection");
        return;
    }
    for (auto _ : state) {
        client.Send("CFG\x02\x03");
        benchmark::DoNotOptimize(client.Receive());
    }
    server.Deactivate();
}
BENCHMARK(BM_ConfigurationListingRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
