// One TCP request, the bytes before its ETX, answered against a fixed base folder (fixed so
// that the seeds and the dictionary can name its files): every request gets a framed reply
// or a job, and an accepted PDF or VRX job names files that exist.

#include "FuzzSupport.h"

#include "app/TcpCommands.h"

#include <QDir>
#include <QFileInfo>

#include <fstream>
#include <string>

namespace {

const std::string kBase = "/tmp/vx_fuzz_tcp/";

bool Exists(const std::string& path) {
    return QFileInfo::exists(
        QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    for (const char* f : {"Configurazioni", "Prove", "v1.2", "out"})
        QDir().mkpath(QString::fromStdString(kBase + f));
    for (const char* f : {"Configurazioni/b.CPF", "Configurazioni/A.cpf", "Configurazioni/c.txt",
                          "Prove/Bench_01.txt", "Prove/Bench_02.txt", "v1.2/t"})
        std::ofstream(kBase + f, std::ios::binary) << "x";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > vx::kMaxTcpRequest)
        return 0; // the connection closes before such a request is parsed
    const vx::TTcpAnswer answer =
        vx::HandleTcpRequest(vx::fuzz::Bytes(data, size), vx::TTcpSnapshot{kBase});
    VX_FUZZ_CHECK(answer.Reply || answer.Job);
    if (answer.Reply)
        VX_FUZZ_CHECK(!answer.Reply->empty() && answer.Reply->back() == vx::ETX);
    if (answer.Job && (answer.Job->Command == vx::TRemoteCommand::Pdf ||
                       answer.Job->Command == vx::TRemoteCommand::Vrx)) {
        VX_FUZZ_CHECK(answer.Reply);
        VX_FUZZ_CHECK(Exists(answer.Job->TestFile) && Exists(answer.Job->ConfigFile));
    }
    return 0;
}
