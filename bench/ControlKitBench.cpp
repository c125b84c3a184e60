// A million distinct texts into a shown combo box and a shown list box, as one SetItems each,
// including the relayout and repaint that follow. Each round starts from an empty list.

#include "platform/ui/ComboBox.h"
#include "platform/ui/ListBox.h"

#include <QApplication>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

const QStringList& Texts() {
    static const QStringList texts = [] {
        QStringList t;
        t.reserve(1000000);
        for (int i = 0; i < 1000000; ++i)
            t << QStringLiteral("Prova %1").arg(i);
        return t;
    }();
    return texts;
}

template <class Control>
void Fill(benchmark::State& state, Control& control) {
    control.show();
    QApplication::processEvents();
    for (auto _ : state) {
        control.SetItems(Texts());
        control.SetItemIndex(999999);
        QApplication::processEvents();
        benchmark::DoNotOptimize(control.Count());
        state.PauseTiming();
        control.SetItems({});
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Texts().size());
}

void BM_ComboBoxMillionItems(benchmark::State& state) {
    vx::TComboBox combo(nullptr, "ComboBox1");
    combo.resize(120, 24);
    Fill(state, combo);
}
BENCHMARK(BM_ComboBoxMillionItems)->Unit(benchmark::kMillisecond);

void BM_ListBoxMillionItems(benchmark::State& state) {
    vx::TListBox list(nullptr, "ListBox1");
    list.resize(160, 240);
    Fill(state, list);
}
BENCHMARK(BM_ListBoxMillionItems)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
