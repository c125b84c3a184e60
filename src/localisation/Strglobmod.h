#pragma once

// The data module of the texts that belong to no window, and of the one language dispatcher
// that every window's translation table follows.

#include <QObject>

namespace vx {

class TmlLang;
class TmlLangDispatcher;

class TSTRGlobData : public QObject {
    Q_OBJECT
public:
    // Loads mlLang1 from the compiled table "STRGlobData" and gives the dispatcher the three
    // languages. mlLang1 is never linked: it keeps language 1 for the whole run.
    explicit TSTRGlobData(QObject* owner = nullptr);
    ~TSTRGlobData() override;

    TmlLang* mlLang1;
    TmlLangDispatcher* mlLangDispatcher1;
};

// The program's one instance, created at start-up before any window; null before and after.
extern TSTRGlobData* STRGlobData;

// Creates STRGlobData (once) and binds the data layer's text lookup to its table.
TSTRGlobData& CreateSTRGlobData();
// Unbinds the lookup and frees STRGlobData.
void FreeSTRGlobData();

} // namespace vx
