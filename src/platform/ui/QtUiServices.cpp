#include "platform/ui/QtUiServices.h"

#include "platform/graphics/Printer.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace vx {

namespace {

const char* const kCaption = "Vornix";

QMessageBox::Icon IconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonMap {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Qt;
    int Result;
};

// In the order the buttons appear.
const ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
};

// The words of Qt's own print dialogs, in the language of Qt's translations.
QString QtText(const char* context, const char* source) {
    return QCoreApplication::translate(context, source);
}

QWidget* ActiveParent() {
    return QApplication::activeWindow();
}

} // namespace

int QtUiServices::MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) {
    QMessageBox box(IconOf(type), kCaption, ToQString(text), QMessageBox::NoButton, ActiveParent());
    if ((buttons & (mbYes | mbNo | mbOK | mbCancel | mbAbort | mbRetry | mbIgnore)) == 0)
        buttons = mbOK;
    for (const ButtonMap& b : kButtons)
        if (buttons & b.Button)
            box.addButton(b.Qt);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const ButtonMap& b : kButtons)
        if (pressed == b.Qt)
            return b.Result;
    // Closed without a button: Cancel when offered, as the class library answered.
    return (buttons & mbCancel) ? mrCancel : mrNone;
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = ToQString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // Descriptions often name their patterns already ("Documenti (*.VRX)"): the patterns
        // that apply are shown once, in place of those.
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0 && description.endsWith(u')') && description.indexOf(u'*', open) > open)
            description = description.left(open).trimmed();
        filters << description + " (" + patterns + ")";
    }
    return filters.join(";;");
}

bool QtUiServices::TakePath(const QString& chosen, std::string& path) {
    const std::string utf8 = chosen.toStdString();
    if (!IsCp1252Representable(utf8)) {
        MessageDlg("The file name holds characters that cannot be used:\r\n" + Utf8ToCp1252(utf8),
                   TMsgDlgType::mtError, mbOK);
        return false;
    }
    path = Utf8ToCp1252(utf8);
    return true;
}

std::vector<std::string> QtUiServices::OpenFileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(ActiveParent(), ToQString(request.Title), ToQString(request.InitialDir),
                       QtFileFilter(request.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.MultiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    if (!request.FileName.empty())
        dialog.selectFile(ToQString(request.FileName));
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted)
        return paths;
    for (const QString& chosen : dialog.selectedFiles()) {
        std::string path;
        if (TakePath(chosen, path))
            paths.push_back(path);
    }
    return paths;
}

std::string QtUiServices::SaveFileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(ActiveParent(), ToQString(request.Title), ToQString(request.InitialDir),
                       QtFileFilter(request.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(ToQString(request.DefaultExt));
    // SaveFileAsking asks in the program's words and language.
    if (!request.OverwritePrompt.empty())
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.FileName.empty())
        dialog.selectFile(ToQString(request.FileName));
    std::string path;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return path;
    TakePath(dialog.selectedFiles().front(), path);
    return path;
}

QFileDialog* MakePictureDialog(const FileDialogRequest& request, QWidget* parent) {
    auto* dialog =
        new QFileDialog(parent, ToQString(request.Title), ToQString(request.InitialDir),
                        QtFileFilter(request.Filter.empty() ? kPictureFilter : request.Filter));
    // The preview needs Qt's own dialog: a desktop's dialog has no room for it.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (!request.FileName.empty())
        dialog->selectFile(ToQString(request.FileName));
    auto* preview = new QLabel(dialog);
    preview->setObjectName("Preview");
    preview->setFixedSize(160, 160);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        const QPixmap picture(path);
        if (picture.isNull()) {
            preview->clear();
            return;
        }
        preview->setPixmap(
            picture.width() <= preview->width() && picture.height() <= preview->height()
                ? picture
                : picture.scaled(preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    });
    return dialog;
}

std::string QtUiServices::OpenPictureDialog(const FileDialogRequest& request) {
    std::unique_ptr<QFileDialog> dialog(MakePictureDialog(request, ActiveParent()));
    std::string path;
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return path;
    TakePath(dialog->selectedFiles().front(), path);
    return path;
}

std::string QtUiServices::SelectDirectory(const std::string& title,
                                          const std::string& startFolder) {
    QFileDialog dialog(ActiveParent(), ToQString(title), ToQString(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    std::string path;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return path;
    TakePath(dialog.selectedFiles().front(), path);
    return path;
}

std::string QtUiServices::InputBox(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText) {
    QInputDialog dialog(ActiveParent());
    dialog.setWindowTitle(ToQString(caption));
    dialog.setLabelText(ToQString(prompt));
    dialog.setTextValue(ToQString(defaultText));
    if (dialog.exec() != QDialog::Accepted)
        return defaultText;
    return FromQString(dialog.textValue());
}

bool QtUiServices::ColorDialog(int& color) {
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, ActiveParent());
    if (!chosen.isValid())
        return false;
    color = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    return true;
}

namespace {

QComboBox* PrinterList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName("PrinterList");
    for (const auto& printer : Printers())
        list->addItem(ToQString(printer->Name()));
    list->setCurrentIndex(PrinterIndex());
    return list;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

template <class T>
T* Named(const QDialog& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

void TakePrinter(const QDialog& dialog) {
    const int index = Named<QComboBox>(dialog, "PrinterList")->currentIndex();
    if (index >= 0 && index != PrinterIndex())
        SetPrinterIndex(index);
}

} // namespace

QDialog* MakePrintDialog(const PrintDialogRequest& request, QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(kCaption);
    auto* form = new QFormLayout(dialog);
    form->addRow(PrinterList(dialog));
    auto* range = new QButtonGroup(dialog);
    auto radio = [&](const char* name, const QString& caption, bool enabled) {
        auto* button = new QRadioButton(caption, dialog);
        button->setObjectName(QString::fromLatin1(name));
        button->setEnabled(enabled);
        range->addButton(button);
        form->addRow(button);
        return button;
    };
    auto* all = radio("RangeAll", QtText("QPrintSettingsOutput", "Print all"), true);
    auto* selection = radio("RangeSelection", QtText("QPrintSettingsOutput", "Selection"),
                            request.AllowSelection);
    auto* pages =
        radio("RangePages", QtText("QPrintSettingsOutput", "Pages"), request.AllowPageNums);
    auto spin = [&](const char* name, int value, int min, int max) {
        auto* box = new QSpinBox(dialog);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(min, std::max(min, max));
        box->setValue(value);
        return box;
    };
    auto* from = spin("FromPage", request.FromPage, request.MinPage, request.MaxPage);
    auto* to = spin("ToPage", request.ToPage, request.MinPage, request.MaxPage);
    form->addRow(QtText("QPrintSettingsOutput", "Pages from"), from);
    form->addRow(QtText("QPrintSettingsOutput", "to"), to);
    form->addRow(QtText("QPrintSettingsOutput", "Copies:"), spin("Copies", request.Copies, 1, 999));
    // Qt's words name a command that opens a file dialog: the dots go.
    QString printToFile = QtText("QPrintDialog", "Print To File ...");
    while (printToFile.endsWith(u'.') || printToFile.endsWith(u' '))
        printToFile.chop(1);
    auto* toFile = new QCheckBox(printToFile, dialog);
    toFile->setObjectName("PrintToFile");
    toFile->setEnabled(request.AllowPrintToFile);
    toFile->setChecked(request.PrintToFile);
    form->addRow(toFile);
    form->addRow(OkCancel(dialog));
    switch (request.PrintRange) {
    case TPrintRange::prAllPages:
        all->setChecked(true);
        break;
    case TPrintRange::prSelection:
        selection->setChecked(true);
        break;
    case TPrintRange::prPageNums:
        pages->setChecked(true);
        break;
    }
    // Typing a page number means printing those pages.
    for (QSpinBox* box : {from, to})
        QObject::connect(box, &QSpinBox::valueChanged, pages, [pages] {
            if (pages->isEnabled())
                pages->setChecked(true);
        });
    return dialog;
}

void ReadPrintDialog(const QDialog& dialog, PrintDialogRequest& request) {
    TakePrinter(dialog);
    if (Named<QRadioButton>(dialog, "RangeSelection")->isChecked())
        request.PrintRange = TPrintRange::prSelection;
    else if (Named<QRadioButton>(dialog, "RangePages")->isChecked())
        request.PrintRange = TPrintRange::prPageNums;
    else
        request.PrintRange = TPrintRange::prAllPages;
    request.FromPage = Named<QSpinBox>(dialog, "FromPage")->value();
    request.ToPage = Named<QSpinBox>(dialog, "ToPage")->value();
    request.Copies = Named<QSpinBox>(dialog, "Copies")->value();
    request.PrintToFile = Named<QCheckBox>(dialog, "PrintToFile")->isChecked();
}

QDialog* MakePrinterSetupDialog(QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(kCaption);
    auto* form = new QFormLayout(dialog);
    auto* list = PrinterList(dialog);
    form->addRow(list);
    auto* landscape = new QCheckBox(QtText("QPageSetupWidget", "Landscape"), dialog);
    landscape->setObjectName("Landscape");
    auto showOrientation = [list, landscape] {
        const auto& printers = Printers();
        const int i = list->currentIndex();
        if (i >= 0 && i < static_cast<int>(printers.size()))
            landscape->setChecked(printers[i]->Orientation() == poLandscape);
    };
    showOrientation();
    QObject::connect(list, &QComboBox::currentIndexChanged, landscape, showOrientation);
    form->addRow(landscape);
    form->addRow(OkCancel(dialog));
    return dialog;
}

void ReadPrinterSetupDialog(const QDialog& dialog) {
    TakePrinter(dialog);
    if (PrinterIndex() >= 0)
        Printer().SetOrientation(Named<QCheckBox>(dialog, "Landscape")->isChecked() ? poLandscape
                                                                                    : poPortrait);
}

bool QtUiServices::PrintDialog(PrintDialogRequest& request) {
    std::unique_ptr<QDialog> dialog(MakePrintDialog(request, ActiveParent()));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    ReadPrintDialog(*dialog, request);
    return true;
}

bool QtUiServices::PrinterSetupDialog() {
    std::unique_ptr<QDialog> dialog(MakePrinterSetupDialog(ActiveParent()));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    ReadPrinterSetupDialog(*dialog);
    return true;
}

bool QtUiServices::FontDialog(FontChoice& font) {
    QFont initial(ToQString(font.Name), font.Size);
    initial.setBold(font.Bold);
    initial.setItalic(font.Italic);
    initial.setUnderline(font.Underline);
    initial.setStrikeOut(font.StrikeOut);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, ActiveParent(), kCaption);
    if (!ok)
        return false;
    font.Name = Utf8ToCp1252(chosen.family().toStdString());
    font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : font.Size;
    font.Bold = chosen.bold();
    font.Italic = chosen.italic();
    font.Underline = chosen.underline();
    font.StrikeOut = chosen.strikeOut();
    return true;
}

int QtUiServices::ShowModal(QObject* form) {
    if (auto* f = qobject_cast<TForm*>(form))
        return f->ExecModal();
    if (auto* dialog = qobject_cast<QDialog*>(form))
        return dialog->exec() == QDialog::Accepted ? mrOk : mrCancel;
    return mrCancel;
}

void QtUiServices::SetBusyCursor(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

bool QtUiServices::OpenWithDesktop(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(path)));
}

void QtUiServices::BringToFront(QObject* window) {
    auto* widget = qobject_cast<QWidget*>(window);
    if (!widget)
        return;
    widget = widget->window();
    if (widget->isMinimized())
        widget->showNormal();
    widget->show();
    widget->raise();
    widget->activateWindow();
}

} // namespace vx
