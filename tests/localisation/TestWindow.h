#pragma once

// A small window with one control of each kind that translations reach, shared by the tests
// of applying texts and of switching languages.

#include "platform/runtime/Cp1252.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PageControl.h"

#include <string>

namespace vx::test {

// Table lines as the stored tables hold them: '|' stands for the delimiter, character 1.
inline std::string TableText(const char* utf8) {
    std::string s = Utf8ToCp1252(utf8);
    for (char& c : s)
        if (c == '|')
            c = '\1';
    return s;
}

class TTestControls : public TForm {
public:
    explicit TTestControls(QWidget* parent = nullptr) : TForm(parent, "TestWindow") {
        Label1 = new TLabel(this, "Label1");
        Button1 = new TButton(this, "Button1");
        GroupBox1 = new TGroupBox(this, "GroupBox1");
        ComboBox1 = new TComboBox(GroupBox1, "ComboBox1");
        Apri1 = new TMenuItem(this, "Apri1");
        PageControl1 = new TPageControl(this, "PageControl1");
        TabSheet1 = new TTabSheet(PageControl1, "TabSheet1");
        Memo1 = new TMemo(TabSheet1, "Memo1");
    }
    TLabel* Label1;
    TButton* Button1;
    TGroupBox* GroupBox1;
    TComboBox* ComboBox1;
    TMenuItem* Apri1;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TMemo* Memo1;
};

} // namespace vx::test
