#pragma once

#include "platform/graphics/Colors.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DragDrop.h"

#include <QLineEdit>

namespace vx {

// A one-line text. Events: OnChange whenever the text changes, by the user or by code setting
// Text to something different, as the class library's edit did; OnDragOver and OnDragDrop for
// drags started with BeginDrag, in client pixels. Qt's own drops of text are off.
class TEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TEdit(QWidget* parent = nullptr, const QString& name = {});

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }
    // The background behind the text; clWindow at creation. System colours show as the colour
    // table has them.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    int Tag = 0;
    TNotifyEvent OnChange;
    std::function<void(QObject* sender, char& key)> OnKeyPress;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TControlFont* font_;
    bool dragAccepted_ = false;
    TColor color_ = clWindow;
};

} // namespace vx
