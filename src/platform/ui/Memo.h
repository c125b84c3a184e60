#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/DragDrop.h"

#include <QPlainTextEdit>
#include <QStringList>

namespace vx {

// A multi-line text. Lines are the paragraphs. Events: OnChange when the user edits the text,
// and once when code changes Text or Lines to something different, as the class library's
// memo did; the Qt signals of the edit do not fire on changes by code. OnDragOver and
// OnDragDrop for drags started with BeginDrag, in client pixels; Qt's own drops of text are
// off.
class TMemo : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)

public:
    explicit TMemo(QWidget* parent = nullptr, const QString& name = {});

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    // A final line break ends the last line and opens no empty one.
    QStringList Lines() const;
    // Changes the lines in place, so that the cursor and the scroll position stay.
    void SetLines(const QStringList& lines);
    QString Text() const { return toPlainText(); }
    void SetText(const QString& text);
    bool WordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
    void SetWordWrap(bool wrap);

    int Tag = 0;
    TNotifyEvent OnChange;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FireChange();

    TControlFont* font_;
    bool dragAccepted_ = false;
};

} // namespace vx
