// Table reports on "Vornix PDF". One sheet of the demo's table (four columns, grid on, about
// 80 rows) composed from what pagination recorded, and written into a PDF. Then the demo
// project (as MakeDemo writes it) on a generated test of 1,000,000 rows of 16 channels: the
// document made and printed whole to "Vornix PDF", as a remote PDF job does; and the saved
// document of that test opened with its table page shown. These two report the peak resident
// memory of their run ("peak_MB"): run one benchmark per process for that figure, e.g.
// --benchmark_filter=ToPdf.
#include "app/Demo.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "platform/ui/Form.h"
#include "platform/ui/TabSet.h"
#include "report/DocBox.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kRows = 1000000;
constexpr int kChannels = 16;

// The samples folder of the source tree, which holds the bench tests the demo needs.
std::string SamplesFolder() {
    return std::string(VX_SOURCE_DIR) + "/samples/";
}

// Resident memory peak of the process since the last ResetPeak, in megabytes.
double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A test file as the test reader takes it: the demo test's header rows, then 16 channels.
void WriteMillionRowTest(const std::string& path) {
    std::ifstream bench(SamplesFolder() + "Prove/Bench_01.txt", std::ios::binary);
    std::string line;
    std::string out;
    for (int i = 0; i < 4 && std::getline(bench, line); ++i)
        out += line + "\n";
    std::string names, units, dashes;
    for (int c = 0; c < kChannels; ++c) {
        const char* sep = c + 1 < kChannels ? "\t" : "\r\n";
        names += "Canale" + std::to_string(c) + sep;
        units += std::string(c % 2 ? "N" : "mm") + sep;
        dashes += std::string("----") + sep;
    }
    out += names + units + dashes;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), file);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> value(0, 999999);
    char row[kChannels * 16];
    for (int r = 0; r < kRows; ++r) {
        char* p = row;
        for (int c = 0; c < kChannels; ++c) {
            const int v = value(random);
            p = std::to_chars(p, row + sizeof(row), v / 100).ptr;
            *p++ = '.';
            *p++ = char('0' + v / 10 % 10);
            *p++ = char('0' + v % 10);
            *p++ = c + 1 < kChannels ? '\t' : '\r';
        }
        *p++ = '\n';
        std::fwrite(row, 1, size_t(p - row), file);
    }
    std::fclose(file);
}

struct Demo {
    Demo() {
        base = vx::IncludeTrailingPathDelimiter(dir.path().toStdString());
        vx::ForceDirectories(base + "Prove");
        for (const char* test : {"Bench_01.txt", "Bench_02.txt"})
            vx::CopyFile(SamplesFolder() + "Prove/" + test, base + "Prove/" + test, false);
        test = base + "Prove/Million.txt";
        project = base + "Configurazioni/Demo.CPF";
        pdf = base + "System/Million.pdf";
        document = base + "Prove/Million.VRX";
        // The demo's pages lay themselves out on the printer.
        vx::InstallPrinterProvider(std::make_shared<vx::FixedPrinterProvider>(
            std::vector<std::shared_ptr<vx::PrinterDevice>>{
                std::make_shared<vx::PdfPrinter>([this] { return pdf; })}));
        vx::MakeDemo(base);
        WriteMillionRowTest(test);
    }
    QTemporaryDir dir;
    std::string base, test, project, pdf, document;
};

Demo& TheDemo() {
    static Demo demo;
    return demo;
}

vx::TWPReport* TableReport(vx::TDocForm& doc) {
    for (vx::TWPPage* page : doc.Pages())
        if (page->PAGEKIND() == vx::PK_REPORT && page->Report())
            return page->Report();
    return nullptr;
}

// The demo's table over 10,000 rows on the printer's sheet.
struct DemoTable {
    DemoTable() {
        vx::TdataProva& test = buffer.AddProva(5);
        std::mt19937 random(3);
        std::uniform_int_distribution<int> value(0, 99999);
        for (int c = 0; c < 4; ++c) {
            test.ChannelNames.Add("Canale" + std::to_string(c));
            test.Units.Add("mm");
            for (int r = 0; r < 10000; ++r)
                test.GetChannel(c).AddText(std::to_string(value(random) / 100.0));
        }
        const vx::TDeviceCaps& caps = vx::Printer().Caps();
        report.SetCoord(2, caps.HorzRes - 472);
        report.SetCoord(3, caps.VertRes - 472);
        report.SetHeaderHeight(611);
        report.SetFooterHeight(611);
        report.SetDataBuffer(&buffer);
        report.usa_griglia = true;
        report.SetGroupCount(1);
        report.SetChannelCount(0, 4);
        for (int c = 0; c < 4; ++c) {
            vx::Tdefcanale& column = *report.GetChannel(0, c);
            column.Prova = 0;
            column.Canale = c;
            column.formato = c == 2 ? "0.000" : "0.00";
        }
        report.Paginate();
    }
    vx::TDatabuffer buffer;
    vx::TWPReport report{nullptr};
};

void UsePdf(const std::string& file) {
    vx::InstallPrinterProvider(
        std::make_shared<vx::FixedPrinterProvider>(std::vector<std::shared_ptr<vx::PrinterDevice>>{
            std::make_shared<vx::PdfPrinter>([file] { return file; })}));
}

// A sheet that was not among the recent ones, composed from its record.
void BM_ComposeTableSheet(benchmark::State& state) {
    QTemporaryDir dir;
    UsePdf(dir.path().toStdString() + "/sheet.pdf");
    DemoTable table;
    int sheet = 0;
    for (auto _ : state) {
        sheet = (sheet + 7) % table.report.PageCount();
        benchmark::DoNotOptimize(table.report.GetPageMetafile(sheet)->RecordCount());
    }
    state.counters["sheets"] = table.report.PageCount();
}

// One composed sheet played into the PDF per iteration, in one job.
void BM_TableSheetToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/sheets.pdf";
    UsePdf(file);
    DemoTable table;
    const vx::Metafile sheet = *table.report.GetPageMetafile(1);
    vx::PrinterDevice& printer = vx::Printer();
    printer.BeginDoc();
    for (auto _ : state) {
        printer.Canvas().Draw(0, 0, sheet);
        printer.NewPage();
    }
    printer.EndDoc();
    state.counters["texts"] = double(sheet.Data()->Texts.size());
    state.counters["KB_per_sheet"] = double(QFileInfo(QString::fromStdString(file)).size()) /
                                     1024.0 / double(state.iterations());
}

void BM_DemoProjectOnAMillionRowsToPdf(benchmark::State& state) {
    Demo& demo = TheDemo();
    int sheets = 0;
    for (auto _ : state) {
        ResetPeak();
        std::unique_ptr<vx::TDocForm> doc(vx::CreateForm<vx::TDocForm>());
        doc->resize(1000, 780);
        doc->show();
        vx::TStringList files;
        files.Add(demo.test);
        doc->NewDocument(demo.project, files);
        doc->PrintPages(0, 0);
        if (vx::TWPReport* report = TableReport(*doc))
            sheets = report->PageCount();
        if (!QFileInfo::exists(QString::fromStdString(demo.document)))
            doc->SaveDocumentToFile(demo.document);
        doc.reset();
        state.counters["peak_MB"] = PeakMegabytes();
    }
    state.counters["sheets"] = sheets;
    state.counters["pdf_MB"] = double(QFileInfo(QString::fromStdString(demo.pdf)).size()) / 1e6;
}

void BM_OpenTheSavedDocumentAndShowItsTable(benchmark::State& state) {
    Demo& demo = TheDemo();
    if (!QFileInfo::exists(QString::fromStdString(demo.document))) {
        std::unique_ptr<vx::TDocForm> doc(vx::CreateForm<vx::TDocForm>());
        vx::TStringList files;
        files.Add(demo.test);
        doc->NewDocument(demo.project, files);
        doc->SaveDocumentToFile(demo.document);
    }
    int sheets = 0;
    for (auto _ : state) {
        ResetPeak();
        std::unique_ptr<vx::TDocForm> doc(vx::CreateForm<vx::TDocForm>());
        doc->resize(1000, 780);
        {
            vx::TFileStream stream(demo.document, vx::fmOpenRead);
            vx::ReadDocumentHeader(stream, *doc->Databuffer, demo.document);
            doc->OpenDocumentStream(stream, demo.document);
        }
        doc->show();
        vx::ProcessMessages();
        doc->elencopagine->SetTabIndex(1);
        vx::TWPReport* report = TableReport(*doc);
        vx::WaitUntil(
            [&] {
                vx::ProcessMessages();
                return report && report->PageCount() > 0 && !report->NeedsPagination;
            },
            300000);
        sheets = report ? report->PageCount() : 0;
        doc.reset();
        state.counters["peak_MB"] = PeakMegabytes();
    }
    state.counters["sheets"] = sheets;
}

} // namespace

BENCHMARK(BM_ComposeTableSheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableSheetToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DemoProjectOnAMillionRowsToPdf)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_OpenTheSavedDocumentAndShowItsTable)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vx::InitFormatSettingsFromLocale();
    vx::CreateSTRGlobData();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vx::FreeSTRGlobData();
    return 0;
}
