#pragma once

// The normaliser: one test resampled onto a regular grid of its X channel, each chosen Y
// channel replaced by a least-squares polynomial, written as a .NRM text file that the test
// reader loads again, with a preview of acquired against fitted data.

#include "platform/ui/Form.h"

#include <memory>
#include <string>
#include <vector>

namespace vx {

class TButton;
class TChart;
class TDatabuffer;
class TdataProva;
class TLabel;
class TListBox;
struct TMainExtensions;
class TMainForm;
class TSpeedButton;
class TEdit;
class TTabSet;
class TTrackBar;
class TmlLang;

// The most points a normalised test may have: a typo must not allocate gigabytes.
constexpr int kMaxNormalizedRows = 1'000'000;

enum class TNormalizeResult { Done, BadXRange, FitFailed, WriteFailed };

struct TNormalizeOutcome {
    TNormalizeResult Result = TNormalizeResult::Done;
    // The channel of the test that failed (BadXRange: the X channel).
    int Channel = -1;
};

// Resamples the buffer's first test (sorted by channels[0] on the way) onto max(resolution,
// row count) evenly spaced X values from the X channel's minimum to its maximum, each further
// channel fitted with a polynomial of the degree. With a preview, the result's channels
// (X first) replace the preview's; with a file name, the .NRM is written. Nothing is written
// unless every channel was fitted. The channel indices must exist in the test.
TNormalizeOutcome BuildNormalizedData(TDatabuffer& buffer, TdataProva* preview,
                                      const std::string& fileName, int resolution, int degree,
                                      const std::vector<int>& channels);

// The .NRM text: "3", "", names, units, "", then the rows of `output`, every field followed by
// TAB, CR LF after each line. Names and units are the test's at the chosen channels. Written
// through a temporary beside the file: an old file stays whole when writing fails, which
// raises EFOpenError or EWriteError.
void WriteNrmFile(const std::string& fileName, const TdataProva& test, const TdataProva& output,
                  const std::vector<int>& channels);

// The name a .NRM file takes: the extension of the file name replaced by ".NRM", or ".NRM"
// appended when the file name has none. Folders with points stay as they are.
std::string NrmFileName(const std::string& chosen);

class TF_normalizza : public TForm {
    Q_OBJECT
public:
    explicit TF_normalizza(QWidget* parent = nullptr);
    ~TF_normalizza() override;

    // The test to normalise; the window keeps it.
    void SetBuffer(std::unique_ptr<TDatabuffer> buffer);
    TDatabuffer* Buffer() const { return buffer_.get(); }
    TdataProva* PreviewTest() const { return preview_.get(); }

    TLabel* Label1;
    TListBox* ListBox1;
    TLabel* Label2;
    TLabel* Label5;
    TLabel* Label6;
    TListBox* ListBox2;
    TLabel* Label3;
    TTrackBar* TrackBar1;
    TLabel* Label4;
    TLabel* Label7;
    TEdit* Edit1;
    TLabel* Label8;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton5;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TChart* Chart1;
    TTabSet* TabSet1;
    TmlLang* mlLang1;

    void FormCreate(QObject* sender);
    void FormActivate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void FormClose(QObject* sender, TCloseAction& action);
    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);
    void SpeedButton3Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);
    void SpeedButton5Click(QObject* sender);
    void TrackBar1Change(QObject* sender);
    void TabSet1Change(QObject* sender, int newTab, bool& allowChange);

    void SaveWindowState();
    void LoadWindowState();
    void BuildPreview();
    void DrawPreview(int testChannel, int outChannel);

    // The test's channels of the chosen entries, X first; -1 for an entry matching none.
    std::vector<int> ChannelIndices() const;
    // Checks the choice before a build: every entry a channel, a resolution that is an
    // integer up to kMaxNormalizedRows. Tells the user and gives false otherwise.
    bool CheckChoice(int& resolution);
    // Tells the user why a build gave no result; true when it gave one.
    bool Report(const TNormalizeOutcome& outcome, const std::string& fileName);
    std::string Text(const char* id) const;

private:
    void UpdateOkButton();
    int IndexOfLabel(const QString& label) const;

    std::unique_ptr<TDatabuffer> buffer_;
    std::unique_ptr<TdataProva> preview_;
    bool stateLoaded_ = false;
    bool fillingTabs_ = false;
};

// The normaliser of a test file, run from the main window: the window, then the main window's
// save dialog and the .NRM file.
void normalizza_prova(TMainForm& main, const std::string& path);

void InstallNormaliser(TMainExtensions& extensions);

} // namespace vx
