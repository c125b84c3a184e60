#pragma once

#include "platform/ui/Controls.h"

#include <QTabWidget>

namespace vx {

class TTabSheet;

// A set of pages behind tabs. Events: OnChange after the user picks another page; setting
// ActivePage or ActivePageIndex by code fires nothing.
class TPageControl : public QTabWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(int ActivePageIndex READ ActivePageIndex WRITE SetActivePageIndex)

public:
    explicit TPageControl(QWidget* parent = nullptr, const QString& name = {});

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int PageCount() const { return count(); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index);

    int Tag = 0;
    TNotifyEvent OnChange;

private:
    friend class TTabSheet;
    TControlFont* font_;
    bool byCode_ = false;
};

// One page of a TPageControl; its Caption is the tab's text.
class TTabSheet : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    // Appends itself to the page control.
    TTabSheet(TPageControl* pageControl, const QString& name = {});

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint);
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }
    int PageIndex() const;

    int Tag = 0;

private:
    TPageControl* pageControl_;
    QString caption_;
    TControlFont* font_;
};

} // namespace vx
