// A document of one test of a million rows and eight channels with one graph page: saved as
// a document file, and opened again as the main window and the document window read it. The
// save's counter peak_MB is the rise of the resident memory over the document already held:
// a save that built the file in memory first would show the file's size there. The open's
// peak_MB is the tests read plus the reader's buffer.

#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "report/WPPage.h"

#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kChannels = 8;

struct Document {
    vx::TDatabuffer Buffer;
    std::unique_ptr<vx::TWPPage> Page;
};

Document& SampleDocument() {
    static Document* document = [] {
        vx::FormatSettings().DecimalSeparator = '.';
        auto* d = new Document;
        vx::TdataProva& test = d->Buffer.AddProva(kChannels + 1);
        std::mt19937 random(42);
        for (int c = 0; c < kChannels; ++c) {
            test.ChannelNames.Add(std::to_string(c));
            test.Units.Add("u");
            vx::Tdatavector& channel = test.GetChannel(c);
            channel.Reserve(kRows, size_t{kRows} * 10);
            for (int r = 0; r < kRows; ++r)
                channel.AddTextRaw(vx::bench::RandomValueText(random));
        }
        d->Page = std::make_unique<vx::TWPPage>(nullptr);
        d->Page->DataBuffer = &d->Buffer;
        d->Page->SetPageKind(vx::PK_GRAPHIC);
        return d;
    }();
    return *document;
}

const std::string& Folder() {
    static QTemporaryDir dir;
    static const std::string path = dir.path().toStdString() + "/";
    return path;
}

// kB from /proc/self/status.
int64_t StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(std::string(key).size()));
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_SaveDocument(benchmark::State& state) {
    Document& d = SampleDocument();
    const std::string file = Folder() + "d.VRX";
    double peak = 0;
    for (auto _ : state) {
        ResetPeak();
        const int64_t before = StatusKb("VmRSS:");
        vx::SaveDocumentFile(file, d.Buffer, {d.Page.get()});
        peak = std::max(peak, static_cast<double>(StatusKb("VmHWM:") - before) / 1024);
    }
    state.counters["file_MB"] = static_cast<double>(vx::FileSize(file)) / 1e6;
    state.counters["peak_MB"] = peak;
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenDocument(benchmark::State& state) {
    Document& d = SampleDocument();
    const std::string file = Folder() + "o.VRX";
    vx::SaveDocumentFile(file, d.Buffer, {d.Page.get()});
    double peak = 0;
    for (auto _ : state) {
        ResetPeak();
        const int64_t before = StatusKb("VmRSS:");
        vx::TDatabuffer buffer;
        vx::TPageList pages;
        vx::ReadFileChecked(file, [&](vx::TStream& stream) {
            vx::ReadDocumentHeader(stream, buffer, file);
            pages = vx::ReadPages(stream, &buffer);
        });
        benchmark::DoNotOptimize(pages.size());
        peak = std::max(peak, static_cast<double>(StatusKb("VmHWM:") - before) / 1024);
    }
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = static_cast<double>(vx::FileSize(file)) / 1e6;
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
