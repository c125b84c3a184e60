#pragma once

// The load-model editor: a test file shown in a grid, where the user marks the cells at which
// the names row, the units row and the first data row start, saved as a .WHF load model.

#include "platform/ui/Form.h"

#include <memory>
#include <string>

namespace vx {

class TButton;
class TEdit;
class TLabel;
class TMainForm;
class TModellocaricamento;
class TSpeedButton;
class TStringGrid;
class TmlLang;
struct TCellPos;
struct TMainExtensions;

class TFormModellocaricamento : public TForm {
    Q_OBJECT
public:
    explicit TFormModellocaricamento(QWidget* parent = nullptr);
    ~TFormModellocaricamento() override;

    // The longest line part shown.
    static constexpr size_t kMaxLineLength = 255;

    TStringGrid* Grid1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton5;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TEdit* Edit2;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

    TModellocaricamento& Model() const { return *model_; }
    bool Modified() const { return modified_; }

    // Shows the file's lines, fields split at TAB, up to the grid's cell bound. False when
    // the file cannot be read; the grid is then as it was.
    bool LoadFile(const std::string& path);

    void FormCreate(QObject* sender);
    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);
    void SpeedButton3Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);
    void SpeedButton5Click(QObject* sender);
    void Edit2Change(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);

    // "[" column letters ";" row "]", or "[..;..]" for a point not set.
    static std::string PositionText(const TCellPos& pos);

private:
    void MarkPosition(TCellPos& pos, TLabel* label);
    void ShowModel();
    std::string Text(const char* id) const;

    std::unique_ptr<TModellocaricamento> model_;
    bool modified_ = false;
};

void InstallLoadModelEditor(TMainExtensions& extensions);

} // namespace vx
