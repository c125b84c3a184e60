#pragma once

#include "platform/ui/Controls.h"

#include <QList>
#include <QStatusBar>

class QLabel;

namespace vx {

class TStatusBar;

// One panel of a status bar: an item of its Panels collection.
class TStatusPanel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)

public:
    QString Text() const;
    void SetText(const QString& text);
    int Width() const { return width_; }
    void SetWidth(int width);

private:
    friend class TStatusBar;
    TStatusPanel(TStatusBar* bar, QLabel* label);

    QLabel* label_;
    int width_ = 50;
};

// A status bar made of panels, or one simple text when SimplePanel is set. No events.
// Panels is the collection as a list of objects, so that code knowing only property names
// reaches "Panels[1].Text".
class TStatusBar : public QStatusBar {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(QList<QObject*> Panels READ PanelObjects)
    Q_PROPERTY(QString SimpleText READ SimpleText WRITE SetSimpleText)
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)

public:
    explicit TStatusBar(QWidget* parent = nullptr, const QString& name = {});

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    TStatusPanel* AddPanel(int width = 50);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    // Null outside the panels.
    TStatusPanel* Panel(int index) const;
    QList<QObject*> PanelObjects() const;

    QString SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& text);
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool simple);

    int Tag = 0;

private:
    void ShowMode();
    void UnstretchLast();

    TControlFont* font_;
    QList<TStatusPanel*> panels_;
    QString simpleText_;
    bool simplePanel_ = false;
};

} // namespace vx
