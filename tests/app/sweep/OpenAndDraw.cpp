// Opens one file as the program does and draws every page of it headless, as the file sweep
// needs it in a child process of its own:
//   OpenAndDraw document <file.VRX>
//   OpenAndDraw project <file.CPF> <test file>
//   OpenAndDraw graph <file.CGF> <document.VRX>     (loaded into the document's first graph)
//   OpenAndDraw save-graph <document.VRX> <file.CGF>
// Exit status: 0 opened and drawn, 10 refused with a message (printed), 11 out of memory,
// 12 drawn with a page geometry beyond what the dialogs allow (printed), 2 wrong use.
// Anything else (a signal, a sanitizer's exit) is a fault.
#include "data/Databuff.h"
#include "data/WPComp.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Form.h"
#include "platform/ui/TabSet.h"
#include "report/DocBox.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/wpreport.h"
#include "support/TestSupport.h"

#include <QApplication>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr int kDrawn = 0, kUsage = 2, kRefused = 10, kOutOfMemory = 11, kUnbounded = 12;

struct Refused {
    std::string Why;
};

struct Unbounded {
    std::string What;
};

// What a drawn page may never exceed, whatever its file said: margins of 500 mm (the margins
// dialog) and a screen page of 800 % of the paper.
void CheckDrawnBounds(const vx::TWPPage& page, size_t index) {
    const vx::TDeviceCaps& caps = vx::Printer().Caps();
    const int32_t mostX = vx::UnitsToPixels(caps.LogPixelsX, vx::UM_mm, 500);
    const int32_t mostY = vx::UnitsToPixels(caps.LogPixelsY, vx::UM_mm, 500);
    const int32_t margins[] = {page.MarginLeftPixels(), page.MarginTopPixels(),
                               page.MarginRightPixels(), page.MarginBottomPixels()};
    for (int m = 0; m < 4; ++m)
        if (margins[m] < 0 || margins[m] > (m % 2 == 0 ? mostX : mostY))
            throw Unbounded{"page " + std::to_string(index + 1) + ": margin " + std::to_string(m) +
                            " of " + std::to_string(margins[m]) + " pixels"};
    const double paper =
        double(caps.PhysicalWidth) * vx::Screen().PixelsPerInch / std::max(caps.LogPixelsX, 1);
    if (page.ScreenPageWidth() > 8 * paper + 1)
        throw Unbounded{"page " + std::to_string(index + 1) + ": " +
                        std::to_string(page.ScreenPageWidth()) + " pixels wide on screen"};
}

std::unique_ptr<vx::TDocForm> OpenDocument(const std::string& path) {
    vx::TFileStream stream(path, vx::fmOpenRead);
    std::string tag;
    vx::ReadChecked(stream, path, [&] { tag = stream.ReadShortString(); });
    if (vx::FileTagVersion(tag) < 80)
        throw Refused{"not a document: " + tag};
    stream.SetPosition(0);
    std::unique_ptr<vx::TDocForm> doc(vx::CreateForm<vx::TDocForm>());
    doc->resize(1000, 780);
    vx::ReadChecked(stream, path, [&] { vx::ReadDocumentHeader(stream, *doc->Databuffer, path); });
    doc->OpenDocumentStream(stream, path);
    return doc;
}

vx::TWPGraph* FirstGraph(vx::TDocForm& doc) {
    for (vx::TWPPage* page : doc.Pages())
        if (page->Graph())
            return page->Graph();
    return nullptr;
}

// Every page on screen and every sheet of it as printed.
void Draw(vx::TDocForm& doc) {
    doc.show();
    vx::ProcessMessages();
    const std::vector<vx::TWPPage*> pages = doc.Pages();
    for (size_t i = 0; i < pages.size(); ++i) {
        doc.elencopagine->SetTabIndex(static_cast<int>(i));
        vx::ProcessMessages();
        doc.grab();
        std::vector<vx::Metafile> sheets;
        vx::TStringList orientations;
        pages[i]->RenderToMetafiles(sheets, orientations, INT_MAX, 1);
        for (const vx::Metafile& sheet : sheets)
            vx::RenderMetafile(sheet, 210, 297, vx::clWhite);
        CheckDrawnBounds(*pages[i], i);
    }
}

int Run(const std::string& mode, const std::string& file, const std::string& other) {
    vx::ScriptedUiServices& ui = *static_cast<vx::ScriptedUiServices*>(&vx::Ui());
    std::unique_ptr<vx::TDocForm> doc;
    if (mode == "document") {
        doc = OpenDocument(file);
    } else if (mode == "project") {
        doc.reset(vx::CreateForm<vx::TDocForm>());
        doc->resize(1000, 780);
        vx::TStringList tests;
        tests.Add(other);
        doc->NewDocument(file, tests);
    } else if (mode == "graph") {
        doc = OpenDocument(other);
        vx::TWPGraph* graph = FirstGraph(*doc);
        if (!graph)
            throw Refused{"the document has no graph"};
        vx::LoadGraphFile(file, *graph);
    } else if (mode == "save-graph") {
        doc = OpenDocument(file);
        vx::TWPGraph* graph = FirstGraph(*doc);
        if (!graph)
            throw Refused{"the document has no graph"};
        vx::SaveGraphFile(other, *graph);
        return kDrawn;
    } else {
        return kUsage;
    }
    Draw(*doc);
    // A project that is refused opens a document without it, after a message.
    if (!ui.Messages.empty()) {
        std::printf("refused: %s\n", ui.Messages.front().Text.c_str());
        return kRefused;
    }
    return kDrawn;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: OpenAndDraw document|project|graph|save-graph <file> [other]\n");
        return kUsage;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    vx::FormatSettings() = vx::TFormatSettings{};
    vx::CreateSTRGlobData();
    vx::ScriptedUiServices ui;
    vx::SetUiServices(&ui);
    vx::test::InstallVirtualPrinter();
    try {
        return Run(argv[1], argv[2], argc == 4 ? argv[3] : "");
    } catch (const std::bad_alloc&) {
        std::printf("out of memory\n");
        return kOutOfMemory;
    } catch (const Unbounded& e) {
        std::printf("drawn beyond bounds: %s\n", e.What.c_str());
        return kUnbounded;
    } catch (const Refused& e) {
        std::printf("refused: %s\n", e.Why.c_str());
        return kRefused;
    } catch (const std::exception& e) {
        std::printf("refused: %s\n", e.what());
        return kRefused;
    }
}
