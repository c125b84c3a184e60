// The type list of the report definition dialog: two tests of 100,000 distinct values each
// (half of the second test's repeating the first's), listed when the type channel is chosen.

#include "data/Databuff.h"
#include "document/defreprt.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListBox.h"
#include "report/wpreport.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <string>

namespace {

void AddTest(vx::TDatabuffer& buffer, int first) {
    vx::TdataProva& test = buffer.AddProva(3);
    test.ChannelNames.Add("N");
    test.ChannelNames.Add("Lot");
    for (int i = 0; i < 100000; ++i) {
        test.GetChannel(0).AddText(std::to_string(i));
        test.GetChannel(1).AddText("L" + std::to_string(first + i));
    }
}

void BM_TypeListOfTwoTests(benchmark::State& state) {
    vx::TDatabuffer buffer;
    AddTest(buffer, 0);
    AddTest(buffer, 50000);
    std::unique_ptr<vx::Tcfg_report> dialog(vx::CreateForm<vx::Tcfg_report>());
    dialog->FillChannelList(&buffer);
    dialog->LoadFromReport(vx::TWPReport(nullptr));
    dialog->show();
    QApplication::processEvents();
    for (auto _ : state) {
        dialog->ComboBox2->SetItemIndex(2);
        dialog->ComboBox2Change(dialog->ComboBox2);
        QApplication::processEvents();
        state.counters["types"] = dialog->CheckListBox1->Count();
        state.PauseTiming();
        dialog->ComboBox2->SetItemIndex(0);
        dialog->ComboBox2Change(dialog->ComboBox2);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TypeListOfTwoTests)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
