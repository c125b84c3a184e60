#pragma once

// The configuration chooser: the caller lists the project files; OK with an entry chosen opens
// that configuration, OK without one ("Nuova") means none.

#include "platform/ui/Form.h"

namespace vx {

class TButton;
class TLabel;
class TListBox;
class TSpeedButton;
class TmlLang;

class Tconfig_document_dlg : public TForm {
    Q_OBJECT
public:
    explicit Tconfig_document_dlg(QWidget* parent = nullptr);

    TLabel* Label1;
    TListBox* ListBox1;
    TSpeedButton* SpeedButton1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

    void FormActivate(QObject* sender);
    void ListBox1DblClick(QObject* sender);
    void SpeedButton1Click(QObject* sender);
};

} // namespace vx
