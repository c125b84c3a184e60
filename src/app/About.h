#pragma once

#include "platform/ui/Form.h"

namespace vx {

class TButton;
class TImage;
class TPanel;
class TmlLang;

// The About window: the program's picture, name, purpose and version.
class TAboutBox : public TForm {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    TPanel* Panel1;
    TImage* ProgramIcon;
    TPanel* ProductName;
    TPanel* Panel2;
    TPanel* Panel3;
    TButton* OKBtn;
    TmlLang* mlLang1;

    void FormCreate(QObject* sender);
};

} // namespace vx
