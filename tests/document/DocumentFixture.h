#pragma once

// Pages on the virtual printer, small tests and the program-wide state the document files
// touch (test styles, decimal separators) put back after every test.

#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "platform/runtime/Streams.h"
#include "report/WPPage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace vx::test {

class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override {
        InstallVirtualPrinter();
        AttributiProve().SetDefaults();
        FormatSettings().DecimalSeparator = '.';
        DocDecimalSeparator = '.';
    }
    void TearDown() override {
        AttributiProve().SetDefaults();
        DocDecimalSeparator = '.';
    }

    static std::unique_ptr<TWPPage> MakePage(TDatabuffer* buffer, const std::string& name,
                                             TPAGEKIND kind = PK_GRAPHIC) {
        auto page = std::make_unique<TWPPage>(nullptr);
        page->DataBuffer = buffer;
        page->SetPageKind(kind);
        page->pagename = name;
        return page;
    }

    static std::string PageBytes(const TWPPage& page) {
        TMemoryStream s;
        page.SaveToStream(s);
        return s.Bytes();
    }

    // A test of two channels: a row number and the given values.
    static TdataProva& MakeTest(TDatabuffer& buffer, const std::string& fileName,
                                std::initializer_list<const char*> values) {
        TdataProva& test = buffer.AddProva(3);
        test.FileName = fileName;
        test.ChannelNames.Add("N");
        test.ChannelNames.Add("Forza");
        test.Units.Add("-");
        test.Units.Add("kN");
        int row = 0;
        for (const char* v : values) {
            test.GetChannel(0).AddText(std::to_string(row++));
            test.GetChannel(1).AddText(v);
        }
        return test;
    }

    ScopedFormatSettings formatSettings_;
};

} // namespace vx::test
