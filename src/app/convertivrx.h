#pragma once

// The test converter: tests named one by one or as folders become stored documents made with a
// configuration, or get a block of lines inserted at a row. Its choices live in "ConvVrx.set".

#include "platform/ui/Form.h"

#include <memory>
#include <string>
#include <vector>

namespace vx {

class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TJvSearchFiles;
class TJvSelectDirectory;
class TLabel;
class TListBox;
class TPageControl;
class TPanel;
class TProgressBar;
class TRadioGroup;
class TSpeedButton;
class TSpinEdit;
class TTabSheet;
class TmlLang;
struct TMainExtensions;

// Where InsertHeaderLines writes and whether it adjusts line 1.
struct TInsertChoices {
    // Line 1's leading number grows by the number of lines inserted.
    bool IncrementFirstLine = true;
    // False: the test itself is rewritten. True: the copy goes below NewRoot, in the test's
    // folders without their first component.
    bool NewPath = false;
    std::string NewRoot;
};

// The file a test goes to under the choices.
std::string InsertOutputPath(const std::string& test, const TInsertChoices& choices);

// Writes the test with `lines` inserted before line `row` (from 1), padding a shorter test with
// empty lines; line ends become CR LF. The test is read and written a chunk at a time, and the
// output replaces its target only once it is complete. Returns the path written. Raises
// EFOpenError when the test cannot be read or the output cannot be written, and refuses to
// rewrite a test the user may not write.
std::string InsertHeaderLines(const std::string& test, int row,
                              const std::vector<std::string>& lines, const TInsertChoices& choices);

class TFConverti_Vrx : public TForm {
    Q_OBJECT
public:
    explicit TFConverti_Vrx(QWidget* parent = nullptr);
    ~TFConverti_Vrx() override;

    TGroupBox* GroupBox1;
    TListBox* ListBox1;
    TSpeedButton* Button1;
    TSpeedButton* Button2;
    TSpeedButton* Button3;
    TSpeedButton* Button4;
    TCheckBox* CheckBox1;
    TGroupBox* GroupBox2;
    TListBox* ListBox2;
    TSpeedButton* Button5;
    TSpeedButton* Button6;
    TSpeedButton* Button7;
    TGroupBox* GroupBox3;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TLabel* Label2;
    TComboBox* ComboBox1;
    TTabSheet* TabSheet2;
    TLabel* Label3;
    TSpinEdit* SpinEdit1;
    TLabel* Label4;
    TListBox* ListBox3;
    TSpeedButton* Button8;
    TSpeedButton* Button9;
    TSpeedButton* Button10;
    TSpeedButton* SpeedButton4;
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox3;
    TRadioGroup* RadioGroup1;
    TPanel* Panel1;
    TEdit* Edit1;
    TSpeedButton* SpeedButton5;
    TLabel* Label1;
    TProgressBar* ProgressBar1;
    TJvSearchFiles* JvSearchFiles1;
    TJvSelectDirectory* JvSelectDirectory1;
    TmlLang* mlLang1;

    void FormCreate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void FormClose(QObject* sender, TCloseAction& action);
    void PageControl1Change(QObject* sender);
    void RadioGroup1Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);

    void AddTestClick(QObject* sender);
    void AddFolderClick(QObject* sender);
    void DeleteTestClick(QObject* sender);
    void ClearTestsClick(QObject* sender);
    void AddMaskClick(QObject* sender);
    void DeleteMaskClick(QObject* sender);
    void ClearMasksClick(QObject* sender);
    void AddLineClick(QObject* sender);
    void DeleteLineClick(QObject* sender);
    void ClearLinesClick(QObject* sender);
    void NewRootClick(QObject* sender);

    // Every test the list names, folders expanded, in order; named files that are not regular
    // files and names that are neither file nor folder are left out.
    std::vector<std::string> CollectFiles();
    void ConvertToVrx();
    void RunInsertFields();
    void LoadState();
    void SaveState();

private:
    std::string Text(const char* id) const;
    bool Confirm(const char* id);
    void AddEntry(const std::string& path);
    void BeginWork();
    void EndWork();
    // Runs `convert` on each test with the label and the bar following it; an error ends the
    // run and is told. False when a test failed.
    template <class Convert>
    bool RunOverTests(const std::vector<std::string>& tests, Convert convert);

    std::unique_ptr<TJvSearchFiles> searchFiles_;
    std::unique_ptr<TJvSelectDirectory> selectDirectory_;
    bool working_ = false;
    bool closeRequested_ = false;
};

// The main window's "Converti prove..." opens the converter.
void InstallConverter(TMainExtensions& extensions);

} // namespace vx
