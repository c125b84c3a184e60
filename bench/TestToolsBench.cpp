// The test tools on long acquisitions: the normaliser on a million rows of five channels at
// degree 7 with its .NRM file; the spreadsheet editor opening and saving a test file of
// 500,000 rows and eight channels; the load-model editor filling its grid from that file.

#include "app/ModCaric.h"
#include "app/Normalizza.h"
#include "app/SheetBook.h"
#include "data/Databuff.h"
#include "data/ProvaText.h"
#include "data/Settings.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/ui/Form.h"

#include "BenchData.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

std::string WriteTest(const char* name, int rows, int channels) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    std::string piece = "3\tBench\r\n\r\n";
    for (const char* prefix : {"C", "u"}) {
        for (int c = 0; c < channels; ++c) {
            piece += prefix;
            piece += std::to_string(c);
            piece += c + 1 < channels ? "\t" : "\r\n";
        }
    }
    piece += "\r\n";
    std::mt19937 random(42);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < channels; ++c) {
            // The X channel rises, the others are the logger's texts.
            piece += c == 0 ? std::to_string(r) : vx::bench::RandomValueText(random);
            piece += c + 1 < channels ? "\t" : "\r\n";
        }
        if (piece.size() > (1 << 20)) {
            file << piece;
            piece.clear();
        }
    }
    file << piece;
    return path;
}

const std::string& NormaliseFile() {
    static const std::string path = WriteTest("vx_bench_normalise.txt", 1'000'000, 5);
    return path;
}

const std::string& SheetFile() {
    // 500,000 lines with the five of the header: the most cells the sheet takes.
    static const std::string path = WriteTest("vx_bench_sheet.txt", 500'000 - 5, 8);
    return path;
}

void BM_NormaliseMillionRowsDegree7(benchmark::State& state) {
    vx::FormatSettings().DecimalSeparator = '.';
    const std::string out = (std::filesystem::temp_directory_path() / "vx_bench.NRM").string();
    for (auto _ : state) {
        state.PauseTiming();
        vx::TDatabuffer buffer;
        vx::LoadProvaText(buffer, NormaliseFile());
        state.ResumeTiming();
        const auto outcome =
            vx::BuildNormalizedData(buffer, nullptr, out, 1'000'000, 7, {0, 1, 2, 3, 4});
        if (outcome.Result != vx::TNormalizeResult::Done)
            state.SkipWithError("not normalised");
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_NormaliseMillionRowsDegree7)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SheetOpens500kBy8(benchmark::State& state) {
    vx::TSheetBook sheet;
    for (auto _ : state) {
        int type = vx::TSheetBook::kTextFile;
        sheet.Read(SheetFile(), type);
        benchmark::DoNotOptimize(sheet.Cell(8, 500'000));
    }
}
BENCHMARK(BM_SheetOpens500kBy8)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SheetSaves500kBy8(benchmark::State& state) {
    vx::TSheetBook sheet;
    int type = vx::TSheetBook::kTextFile;
    sheet.Read(SheetFile(), type);
    const std::string out =
        (std::filesystem::temp_directory_path() / "vx_bench_saved.txt").string();
    for (auto _ : state)
        sheet.Write(out, vx::TSheetBook::kTextFile);
    std::filesystem::remove(out);
}
BENCHMARK(BM_SheetSaves500kBy8)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadModelGridFills500kBy8(benchmark::State& state) {
    std::unique_ptr<vx::TFormModellocaricamento> editor(
        vx::CreateForm<vx::TFormModellocaricamento>());
    for (auto _ : state)
        benchmark::DoNotOptimize(editor->LoadFile(SheetFile()));
}
BENCHMARK(BM_LoadModelGridFills500kBy8)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(NormaliseFile());
    std::filesystem::remove(SheetFile());
    return 0;
}
