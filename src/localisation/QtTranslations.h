#pragma once

namespace vx {

// Qt's own texts (standard buttons, file dialog) in the program's language: 1 Italian,
// 2 English, 3 German. The catalogues come from the system's Qt translations; where one is
// missing, Qt speaks English. Returns whether a catalogue is in use.
bool LoadQtTranslations(int language);

} // namespace vx
