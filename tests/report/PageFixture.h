#pragma once

// A page on the virtual printer "VP-A4-600" (paper 4960 x 7016, offsets 100/100, printable
// 4760 x 6816) with fixed text metrics, the global string table bound, and the margins
// 20/15/5/12 mm = 472/354/118/283 pixels, header 15 % and footer 8 %.

#include "ReportTestPrinters.h"
#include "data/Databuff.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/TextMetrics.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx::test {

// A text of a composed picture, in the coordinates of the outermost picture.
struct PlacedText {
    std::string Text;
    int32_t X = 0;
    int32_t Y = 0;
    uint32_t Align = 0;
};

// A picture drawn inside another: its destination and its records.
struct PlacedPicture {
    TRect Dest;
    Metafile Picture;
};

inline std::vector<PlacedPicture> Pictures(const Metafile& m) {
    std::vector<PlacedPicture> out;
    const MetafileData& d = *m.Data();
    for (const MetaRecord& r : d.Records)
        if (r.Kind == MetaRecordKind::DrawMetafile)
            out.push_back({{d.Ints[r.Offset], d.Ints[r.Offset + 1], d.Ints[r.Offset + 2],
                            d.Ints[r.Offset + 3]},
                           d.Metafiles[r.Index]});
    return out;
}

// Every text, nested pictures included, moved by the offsets of the pictures around it
// (the page draws its pictures at their own size).
inline void CollectTexts(const Metafile& m, int32_t dx, int32_t dy, std::vector<PlacedText>& out) {
    const MetafileData& d = *m.Data();
    MetaTextState state;
    for (const MetaRecord& r : d.Records) {
        if (r.Kind == MetaRecordKind::SetText)
            state = d.TextStates[r.Index];
        else if (r.Kind == MetaRecordKind::Text || r.Kind == MetaRecordKind::ClippedText)
            out.push_back(
                {d.Texts[r.Index], d.Ints[r.Offset] + dx, d.Ints[r.Offset + 1] + dy, state.Align});
        else if (r.Kind == MetaRecordKind::DrawMetafile)
            CollectTexts(d.Metafiles[r.Index], dx + d.Ints[r.Offset], dy + d.Ints[r.Offset + 1],
                         out);
    }
}

inline std::vector<PlacedText> Texts(const Metafile& m) {
    std::vector<PlacedText> out;
    CollectTexts(m, 0, 0, out);
    return out;
}

class PageFixture : public ::testing::Test {
protected:
    PageFixture() {
        SetFixedTextMetrics(true);
        CreateSTRGlobData();
        page = std::make_unique<TWPPage>(nullptr);
        page->DataBuffer = &buffer;
        SetMargins(20, 15, 5, 12);
        page->AltezzaIntestazione = 15;
        page->Altezzapiepagina = 8;
    }
    ~PageFixture() override {
        page.reset();
        FreeSTRGlobData();
        SetFixedTextMetrics(false);
    }

    void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        page->MarginLeft = left;
        page->MarginTop = top;
        page->MarginRight = right;
        page->MarginBottom = bottom;
    }

    // The first paints report a printer change: after two the page is settled.
    void Settle() {
        page->Paint();
        page->Paint();
    }

    static TRect PageRect(const TMetaobj& o) {
        return {o.GetCoord(0), o.GetCoord(1), o.GetCoord(2), o.GetCoord(3)};
    }

    void AddTest(const std::string& fileName) { buffer.AddProva(1).FileName = fileName; }

    // Header and footer draw a word each, so that their pictures are not empty.
    void MarkParts() {
        page->Header()->GetCell(0, 0)->text.Add("Head");
        page->Footer()->GetCell(0, 0)->text.Add("Foot");
    }

    // A report page whose report paginates into `sheets` sheets of numbered rows.
    void MakeReportPage(int rows) {
        page->SetPageKind(PK_REPORT);
        MarkParts();
        TWPReport& r = *page->Report();
        TdataProva& test = buffer.AddProva(2);
        test.ChannelNames.Add("Ch0");
        test.Units.Add("U0");
        for (int i = 1; i <= rows; ++i)
            test.GetChannel(0).AddText(std::to_string(i));
        r.SetGroupCount(1);
        r.SetChannelCount(0, 1);
        r.GetChannel(0, 0)->Prova = 0;
        r.GetChannel(0, 0)->Canale = 0;
        r.GetChannel(0, 0)->FontI->SetSize(12);
        r.GetChannel(0, 0)->FontD->SetSize(12);
        Settle();
        r.Paint();
    }

    TDatabuffer buffer;
    std::unique_ptr<TWPPage> page;
};

} // namespace vx::test
