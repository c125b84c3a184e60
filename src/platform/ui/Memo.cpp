#include "platform/ui/Memo.h"

#include "platform/ui/Guard.h"

#include <QDropEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>

namespace vx {

TMemo::TMemo(QWidget* parent, const QString& name)
    : QPlainTextEdit(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setAcceptDrops(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { FireChange(); });
}

void TMemo::FireChange() {
    Guard([this] {
        if (OnChange)
            OnChange(this);
    });
}

QStringList TMemo::Lines() const {
    QString text = toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

void TMemo::SetLines(const QStringList& lines) {
    const QStringList current = Lines();
    if (current == lines)
        return;
    {
        const QSignalBlocker block(this);
        QTextDocument* doc = document();
        // An empty memo, or one whose text ends in a line break, has a block that is no line;
        // those few cases are simply rebuilt.
        if (current.isEmpty() || lines.isEmpty() || doc->blockCount() != current.size()) {
            setPlainText(lines.join(u'\n'));
        } else {
            QTextCursor cursor(doc);
            cursor.beginEditBlock();
            const int common = static_cast<int>(std::min(current.size(), lines.size()));
            for (int i = 0; i < common; ++i) {
                if (current[i] == lines[i])
                    continue;
                const QTextBlock b = doc->findBlockByNumber(i);
                cursor.setPosition(b.position());
                cursor.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
                cursor.insertText(lines[i]);
            }
            const QTextBlock last = doc->findBlockByNumber(common - 1);
            const int lastEnd = last.position() + last.length() - 1;
            if (lines.size() > common) {
                cursor.setPosition(lastEnd);
                cursor.insertText(u'\n' + lines.mid(common).join(u'\n'));
            } else if (current.size() > common) {
                cursor.setPosition(lastEnd);
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            }
            cursor.endEditBlock();
        }
    }
    FireChange();
}

void TMemo::SetText(const QString& text) {
    if (text == toPlainText())
        return;
    {
        const QSignalBlocker block(this);
        setPlainText(text);
    }
    FireChange();
}

void TMemo::SetWordWrap(bool wrap) {
    setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

// The drag events arrive from the viewport, in its pixels: the memo's client area.
void TMemo::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TMemo::dragMoveEvent(QDragMoveEvent* event) {
    dragAccepted_ = DragOverControl(this, *event, event->position().toPoint(), OnDragOver);
}

void TMemo::dragLeaveEvent(QDragLeaveEvent*) {
    dragAccepted_ = false;
}

void TMemo::dropEvent(QDropEvent* event) {
    DropOnControl(this, *event, event->position().toPoint(), dragAccepted_, OnDragDrop);
    dragAccepted_ = false;
}

} // namespace vx
