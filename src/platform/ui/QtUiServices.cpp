#include "platform/ui/QtUiServices.h"

#include "platform/runtime/Cp1252.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

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
        filters << parts[i] + " (" + patterns + ")";
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
    if (!request.FileName.empty())
        dialog.selectFile(ToQString(request.FileName));
    std::string path;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return path;
    TakePath(dialog.selectedFiles().front(), path);
    return path;
}

bool QtUiServices::ColorDialog(int& color) {
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, ActiveParent());
    if (!chosen.isValid())
        return false;
    color = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
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
