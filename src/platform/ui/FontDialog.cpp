#include "platform/ui/FontDialog.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/UiServices.h"

#include <QFont>
#include <QLabel>
#include <QPalette>

#include <algorithm>

namespace vx {

bool ChooseFont(TFont& font) {
    FontChoice choice;
    choice.Name = font.Name();
    choice.Size = font.Size();
    choice.Color = static_cast<int>(font.Color());
    const TFontStyles style = font.Style();
    choice.Bold = style.Contains(fsBold);
    choice.Italic = style.Contains(fsItalic);
    choice.Underline = style.Contains(fsUnderline);
    choice.StrikeOut = style.Contains(fsStrikeOut);
    if (!Ui().FontDialog(choice))
        return false;
    font.SetName(choice.Name);
    font.SetSize(choice.Size);
    font.SetColor(static_cast<TColor>(choice.Color));
    TFontStyles styles;
    for (const auto& [on, s] :
         {std::pair{choice.Bold, fsBold}, std::pair{choice.Italic, fsItalic},
          std::pair{choice.Underline, fsUnderline}, std::pair{choice.StrikeOut, fsStrikeOut}})
        if (on)
            styles.Include(s);
    font.SetStyle(styles);
    return true;
}

void ShowFont(QLabel* label, const TFont& font) {
    QFont shown(ToQString(font.Name()), std::max(1, static_cast<int>(font.Size())));
    const TFontStyles style = font.Style();
    shown.setBold(style.Contains(fsBold));
    shown.setItalic(style.Contains(fsItalic));
    shown.setUnderline(style.Contains(fsUnderline));
    shown.setStrikeOut(style.Contains(fsStrikeOut));
    label->setFont(shown);
    const TColor color = ColorToRGB(font.Color());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
    label->setPalette(palette);
    label->setText(ToQString(font.Name()));
}

} // namespace vx
