// A whole remote PDF job as a client program sees it: the request over a loopback socket to
// the running program, until the complete file lies at the target. The demo's base folder,
// test and project, printed by "Vornix PDF".

#include "app/Demo.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "app/TcpJobs.h"
#include "data/Settings.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/QtPrinter.h"
#include "platform/system/Files.h"
#include "platform/ui/Form.h"
#include "support/TcpTestClient.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <string>

namespace {

void BM_RemotePdfOfTheDemo(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    std::filesystem::copy(VX_SOURCE_DIR "/samples", base, std::filesystem::copy_options::recursive);
    vx::BasePath = base;
    vx::MakeDemo(base);
    const int port = vx::test::FreePort();
    vx::ImpostazioniRec.SetTcpPort(port);
    vx::ImpostazioniRec.SetTcpServerActive(true);
    vx::ImpostazioniRec.SetCloseAfterRemotePrint(true);
    vx::SaveSettings();
    vx::ForceDirectories(base + "out");
    vx::CreateSTRGlobData();
    auto* main = vx::CreateForm<vx::TMainForm>();
    if (!vx::TTcpJobs::Of(*main).TCPServer1.Active()) {
        state.SkipWithError("the command server does not listen");
        delete main;
        vx::FreeSTRGlobData();
        return;
    }
    const std::string request = std::string("PDF\x02") + base + "Prove/Bench_01.txt\x02" + base +
                                "out/%\x02" + base + "Configurazioni/Demo.CPF\x02\x03";
    int n = 0;
    for (auto _ : state) {
        const std::string target = base + "out/" + std::to_string(++n) + ".pdf";
        std::string r = request;
        r.replace(r.find('%'), 1, std::to_string(n) + ".pdf");
        vx::test::Client client(port);
        client.Send(r);
        if (client.Receive() != "PDF\x02"
                                "1\x03\r\n") {
            state.SkipWithError("the request was refused");
            break;
        }
        if (!vx::WaitUntil([&] { return vx::FileExists(target); }, 60000)) {
            state.SkipWithError("no PDF within a minute");
            break;
        }
    }
    vx::WaitUntil([&] { return !vx::TTcpJobs::Of(*main).Busy(); }, 60000);
    delete main;
    vx::FreeSTRGlobData();
}
BENCHMARK(BM_RemotePdfOfTheDemo)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vx::InstallPrinterProvider(std::make_shared<vx::SystemPrinterProvider>(
        [] { return vx::ImpostazioniRec.DriverOutputFile(); }));
    vx::InstallProgramUnits();
    vx::InstallMainExtensions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
