// One TCP request, the bytes before its ETX, answered against a fixed base folder (fixed so
// that the seeds and the dictionary can name its files): every request gets a framed reply
// or a job, and a job names only readable regular files; an accepted PDF job's target lies in
// a folder that takes a new file.

#include "FuzzSupport.h"

#include "app/TcpCommands.h"
#include "platform/system/Files.h"

#include <QDir>
#include <QFileInfo>

#include <fstream>
#include <string>

namespace {

const std::string kBase = "/tmp/vx_fuzz_tcp/";

// Job paths are cp1252, with either separator.
QFileInfo Info(const std::string& path) {
    return QFileInfo(QString::fromStdString(vx::ToLocalPath(path)));
}

bool ReadableRegular(const std::string& path) {
    const QFileInfo info = Info(path);
    return info.isFile() && info.isReadable();
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
    if (!answer.Job)
        return 0;
    const vx::TRemoteJob& job = *answer.Job;
    if (job.Command == vx::TRemoteCommand::Pdf || job.Command == vx::TRemoteCommand::Vrx) {
        VX_FUZZ_CHECK(answer.Reply);
        VX_FUZZ_CHECK(ReadableRegular(job.TestFile) && ReadableRegular(job.ConfigFile));
    } else {
        VX_FUZZ_CHECK(job.TestFile.empty() || ReadableRegular(job.TestFile));
        VX_FUZZ_CHECK(job.ConfigFile.empty() || ReadableRegular(job.ConfigFile));
    }
    if (job.Command == vx::TRemoteCommand::Pdf) {
        const QFileInfo folder(Info(job.TargetFile).absolutePath());
        VX_FUZZ_CHECK(folder.isDir() && folder.isWritable());
    }
    return 0;
}
