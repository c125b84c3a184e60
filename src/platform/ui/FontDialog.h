#pragma once

// Choosing a font through the program's font dialog and showing one on a sample.

#include "platform/graphics/Font.h"

class QLabel;

namespace vx {

// Asks Ui().FontDialog, starting from the font. On OK the font takes the chosen name, size,
// colour and styles and keeps everything else (character set, resolution, pitch, rotation);
// false when cancelled, the font then unchanged.
bool ChooseFont(TFont& font);

// The label shows the font's name in the font itself: face, point size, styles and colour.
void ShowFont(QLabel* label, const TFont& font);

} // namespace vx
