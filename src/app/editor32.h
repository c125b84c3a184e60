#pragma once

// The spreadsheet editor of test files: an MDI child of the main window that shows a test
// text file in a sheet, lets the user change, copy and paste cells and saves the file again.

#include "platform/ui/Form.h"

#include <string>

namespace vx {

class TMainMenu;
class TMenuItem;
class TSheetBook;
class TSpeedButton;
class TStatusBar;
class TTimer;
class TmlLang;
struct TMainExtensions;

class Tfrm_32bitedit : public TForm {
    Q_OBJECT
public:
    explicit Tfrm_32bitedit(QWidget* parent = nullptr);
    ~Tfrm_32bitedit() override;

    TSheetBook* SheetBook1;
    TStatusBar* StatusBar1;
    TTimer* Timer1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton5;
    TSpeedButton* SpeedButton6;
    TSpeedButton* SpeedButton7;
    TSpeedButton* SpeedButton8;
    TMainMenu* MainMenu1;
    TMenuItem* Editor1;
    TMenuItem* Copia1;
    TMenuItem* Taglia1;
    TMenuItem* Incolla1;
    TMenuItem* Save1;
    TMenuItem* Salva1;
    TMenuItem* Close1;
    TMenuItem* Format1;
    TMenuItem* DimensionaColonne1;
    TMenuItem* ParametriIperbolici1;
    TMenuItem* Fogli1;
    TMenuItem* Inseriscifoglio1;
    TMenuItem* EliminaFoglio1;
    TmlLang* mlLang1;

    const std::string& FileName() const { return fileName_; }
    // True while the state shows "Modificato": edits not yet saved.
    bool Changed() const { return changed_; }

    // Reads the file into the sheet and names the sheet after it. A file that cannot be read
    // or is too large is told and changes nothing: false.
    bool LoadFile(const std::string& path);

    void FormCreate(QObject* sender);
    void FormActivate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void FormClose(QObject* sender, TCloseAction& action);
    void SpeedButton1Click(QObject* sender);
    void Copia1Click(QObject* sender);
    void Taglia1Click(QObject* sender);
    void Incolla1Click(QObject* sender);
    // False when the write failed (told to the user).
    bool Salva1Click(QObject* sender);
    void Save1Click(QObject* sender);
    void Close1Click(QObject* sender);
    void SpeedButton6Click(QObject* sender);
    void SpeedButton7Click(QObject* sender);
    void SpeedButton8Click(QObject* sender);
    void SheetBook1Modified(QObject* sender);
    void Timer1Timer(QObject* sender);

private:
    // Asks about unsaved edits; true when the caller may go on.
    bool QuerySave();
    bool WriteTo(const std::string& path);
    void ShowState(bool changed);
    std::string Text(const char* id) const;

    std::string fileName_;
    bool changed_ = false;
};

void InstallTestEditor(TMainExtensions& extensions);

} // namespace vx
