// The "Tipo:" list of the channel-reference dialog on a test whose channel 1 holds a million
// distinct texts: the dialog filled from the tests and shown, relayout and repaint included.

#include "data/Databuff.h"
#include "document/TF_inschnval.h"
#include "platform/ui/ComboBox.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

void BM_TypesOfAMillionDistinctValues(benchmark::State& state) {
    vx::TDatabuffer buffer;
    vx::TdataProva& test = buffer.AddProva(3);
    test.FileName = "/d/Big.txt";
    buffer.FileNames.Add(test.FileName);
    test.ChannelNames.Add("N");
    test.ChannelNames.Add("Type");
    test.Units.Add("-");
    test.Units.Add("-");
    for (int i = 0; i < 1000000; ++i) {
        test.GetChannel(0).AddText(std::to_string(i));
        test.GetChannel(1).AddText("T" + std::to_string(i));
    }
    std::unique_ptr<vx::TF_inschnval> dialog(vx::CreateForm<vx::TF_inschnval>());
    for (auto _ : state) {
        dialog->SetDataBuffer(&buffer);
        dialog->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog->ComboBox5->Count());
        state.PauseTiming();
        dialog->hide();
        dialog->SetDataBuffer(nullptr);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_TypesOfAMillionDistinctValues)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
