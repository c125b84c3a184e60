#pragma once

// The label translation editor: per channel of the first test the quantity and the unit that
// axes and reports show in its place, kept in label files (.CLF) between documents.

#include "platform/runtime/StringList.h"
#include "platform/ui/Form.h"

#include <array>
#include <string>
#include <vector>

namespace vx {

class TButton;
class TSpeedButton;
class TStringGrid;
class TmlLang;

// A quantity and its unit.
using TLabelPair = std::array<std::string, 2>;

// Two lines per pair, the quantity then the unit, each cut to 255 characters and ended by
// CR LF; written through a temporary, so a failed save leaves the old file as it was. Raises
// the file errors.
void SaveLabelFile(const std::string& fileName, const std::vector<TLabelPair>& labels);
// The lines of a label file (CR LF, LF and CR end a line). Raises the file errors.
std::vector<std::string> LoadLabelFile(const std::string& fileName);

class Ttranslatelabelsdlg : public TForm {
    Q_OBJECT
public:
    explicit Ttranslatelabelsdlg(QWidget* parent = nullptr);

    // The channel names and units of the first test, for "Copia nomi".
    TStringList Names;
    TStringList Units;

    // Rows 1 ... RowCount - 1, columns 1 and 2.
    std::vector<TLabelPair> Labels() const;

    void SpeedButton1Click(QObject* sender); // copy the names
    void SpeedButton2Click(QObject* sender); // open
    void SpeedButton3Click(QObject* sender); // save
    void BitBtn1Click(QObject* sender);

    TStringGrid* Grid1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TmlLang* mlLang1;
};

} // namespace vx
