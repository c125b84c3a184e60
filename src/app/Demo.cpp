#include "app/Demo.h"

#include "data/Databuff.h"
#include "data/Settings.h"
#include "document/Docmaster.h"
#include "document/DocumentFiles.h"
#include "document/translatelabels.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/system/Files.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/WPSection.h"
#include "report/legenda.h"
#include "report/wpreport.h"

#include <memory>

namespace vx {

namespace {

// Columns of the bench tests.
constexpr int kTime = 0;
constexpr int kForce = 1;
constexpr int kTravel = 2;
constexpr int kTemperature = 3;
constexpr int kChannels = 4;

void WriteSettings(const std::string& base) {
    ImpostazioniRec.Clear();
    ImpostazioniRec.SetLoadType(1);
    ImpostazioniRec.SetTcpServerActive(true);
    ImpostazioniRec.SetTcpPort(47110);
    ImpostazioniRec.SetPdfPrinterName("Vornix PDF");
    ImpostazioniRec.SetDriverOutputFile(base + "System/VornixPDF.pdf");
    ImpostazioniRec.SetLanguage(1);
    ImpostazioniRec.SetCloseAfterRemotePrint(true);
    if (!SaveSettings())
        throw Exception("Cannot write " + SettingsFileName());
}

std::unique_ptr<TWPPage> GraphPage(TDatabuffer& data) {
    auto page = std::make_unique<TWPPage>(nullptr);
    page->DataBuffer = &data;
    page->SetPageKind(PK_GRAPHIC);
    page->pagename = "Forza-Corsa";
    TIntestazione& header = *page->Header();
    header.SetColumnCount(2);
    header.SetRowCount(2);
    // Filled from the first test's header rows and values whenever the page is drawn.
    header.GetCell(0, 0)->text.Add("Banco &<1;3;1(?)>");
    header.GetCell(1, 0)->text.Add("Operatore &<1;5;1(?)>");
    header.GetCell(0, 1)->text.Add("Lotto &<1;4;2(?)>");
    header.GetCell(1, 1)->text.Add("Forza max &<CHN;1;1;MAX;0.1> N");
    TWPGraph& graph = *page->Graph();
    graph.XAxis().Channels().Clear();
    graph.XAxis().Channels().Add(kTravel);
    TAsse& force = *graph.LeftSide().GetAxisByIndex(0);
    force.Channels().Clear();
    force.Channels().Add(kForce);
    // Each test in its own style, named in the legend.
    force.usa_attributi_asse = false;
    // The right side shows a second quantity rather than an empty section.
    TAsse& temperature = *graph.RightSide().GetAxisByIndex(0);
    temperature.Channels().Clear();
    temperature.Channels().Add(kTemperature);
    temperature.usa_attributi_asse = false;
    graph.Legend().Visible = true;
    graph.RebuildSeries();
    return page;
}

std::unique_ptr<TWPPage> ReportPage(TDatabuffer& data) {
    auto page = std::make_unique<TWPPage>(nullptr);
    page->DataBuffer = &data;
    page->SetPageKind(PK_REPORT);
    page->pagename = "Tabella";
    TWPReport& report = *page->Report();
    report.SetDataBuffer(&data);
    report.usa_griglia = true;
    // The columns share the page's width.
    report.columnsspace = cs_omogeneo;
    report.SetGroupCount(1);
    report.SetChannelCount(0, kChannels);
    for (int c = kTime; c < kChannels; ++c) {
        Tdefcanale& column = *report.GetChannel(0, c);
        column.Prova = 0;
        column.Canale = c;
        column.formato = c == kTravel ? "0.000" : "0.00";
    }
    return page;
}

} // namespace

void MakeDemo(const std::string& base) {
    BasePath = base;
    ForceDirectories(base + "System");
    ForceDirectories(base + "Configurazioni");
    WriteSettings(base);

    const std::string tests[] = {base + "Prove/Bench_01.txt", base + "Prove/Bench_02.txt"};
    TDatabuffer data;
    for (const std::string& test : tests)
        if (!ReadTestFile(data, test, nullptr))
            throw Exception("Not a test: " + test);
    auto graph = GraphPage(data);
    auto report = ReportPage(data);
    const std::vector<TWPPage*> pages = {graph.get(), report.get()};
    TStringList labels;
    for (const char* label : {"Tempo\xA7s", "Forza\xA7N", "Corsa\xA7mm", "Temperatura\xA7\xB0\x43"})
        labels.Add(label);
    // The same channels in English, for the label dialog's "Apri...".
    SaveLabelFile(base + "Configurazioni/Demo.CLF", {{"Time", "s"},
                                                     {"Force", "N"},
                                                     {"Travel", "mm"},
                                                     {"Temperature", "\xB0"
                                                                     "C"}});
    const TStringList noMapping;
    const std::string project = base + "Configurazioni/Demo.CPF";
    SaveProjectFile(project, pages, labels, noMapping);
    SaveProjectFile(base + "System/defcfg.set", pages, labels, noMapping);
    // The report page's definition, as the report definition dialog saves one.
    TWPReport definition(nullptr);
    ComponentFromBytes(ComponentToBytes(*report->Report()), definition);
    definition.SetName("");
    SaveReportDefinitionFile(base + "Configurazioni/Demo.CRF", definition);

    TDocmaster master;
    TStringList files;
    for (const std::string& test : tests)
        files.Add(test);
    master.LoadProject(project, files);
    master.SaveDocument(base + "Prove/Demo.VRX");
}

} // namespace vx
