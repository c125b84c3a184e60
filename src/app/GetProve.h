#pragma once

// The test chooser: up to ten test files for a new document, picked from a folder list with
// an optional text preview, and its small dialog for the preview's line range.

#include "platform/ui/Form.h"

#include <string>
#include <vector>

namespace vx {

class TButton;
class TComboBox;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
class TFileListBox;
class TLabel;
class TListBox;
class TMemo;
class TSpeedButton;
class TmlLang;

// Lines from..to (counted from 1) of a text file, cp1252, each character below 32 made a
// blank; lines end with LF or CR LF. Reading stops after line `to`, so that the size of the
// file does not matter. What a preview can show is bounded whatever range is asked for: a
// line longer than kMaxPreviewLineLength is cut there, and reading stops after
// kMaxPreviewLines lines. Returns false when the file cannot be read; `lines` then holds what
// was read before.
constexpr size_t kMaxPreviewLineLength = 4096;
constexpr size_t kMaxPreviewLines = 10000;
bool ReadPreviewLines(const std::string& path, int from, int to, std::vector<std::string>& lines);

class TF_Def_Ant : public TForm {
    Q_OBJECT
public:
    explicit TF_Def_Ant(QWidget* parent = nullptr);

    TLabel* Label1;
    TEdit* Edit1;
    TLabel* Label2;
    TEdit* Edit2;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;
};

class TOpenListFile : public TForm {
    Q_OBJECT
public:
    static constexpr int kMaxTests = 10;

    explicit TOpenListFile(QWidget* parent = nullptr);

    // The chosen tests, full paths, as the caller takes them.
    std::vector<std::string> Tests() const;
    int From() const { return from_; }
    int To() const { return to_; }

    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TEdit* Edit2;
    TFileListBox* FileListBox1;
    TLabel* Label3;
    TListBox* ListBox1;
    TMemo* Memo1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TLabel* Label1;
    TComboBox* ComboBox1;
    TLabel* Label2;
    TEdit* Edit1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

    void FormCreate(QObject* sender);
    void SpeedButton1Click(QObject* sender);
    void FileListBox1Click(QObject* sender);
    void ShowPreview(const std::string& path);
    void FileListBox1DblClick(QObject* sender);
    void SpeedButton3Click(QObject* sender);
    // Adds a test unless the list is full (with a message) or already holds it.
    void AddTest(const std::string& path);
    void ListBox1DblClick(QObject* sender);
    void ListBox1KeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift);
    void SpeedButton2Click(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void FormClose(QObject* sender, TCloseAction& action);

private:
    void FillLoadModels();
    void RemoveSelectedTest();
    std::string Text(const char* id) const;

    int from_ = 1;
    int to_ = 3;
};

} // namespace vx
