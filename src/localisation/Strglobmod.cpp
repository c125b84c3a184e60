#include "localisation/Strglobmod.h"

#include "data/GlobalText.h"
#include "localisation/QtTranslations.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Exceptions.h"

namespace vx {

TSTRGlobData* STRGlobData = nullptr;

TSTRGlobData::TSTRGlobData(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("STRGlobData"));
    mlLangDispatcher1 = new TmlLangDispatcher(this);
    mlLangDispatcher1->setObjectName(QStringLiteral("mlLangDispatcher1"));
    mlLang1 = new TmlLang(this);
    mlLang1->setObjectName(QStringLiteral("mlLang1"));
    if (!LoadTranslationResource(*mlLang1, "STRGlobData"))
        throw Exception("The global string table is missing from the program");

    TStringList names;
    for (const char* name : {"Italiano", "English", "Deutsch"})
        names.Add(name);
    mlLangDispatcher1->BeginLoading();
    mlLangDispatcher1->SetNumOfLanguages(3);
    mlLangDispatcher1->SetLangNames(names);
    mlLangDispatcher1->SetLanguage("Italiano");
    mlLangDispatcher1->Loaded();
    // The file, print and message dialogs of Qt speak the language of the program's own texts.
    mlLangDispatcher1->OnLanguageChanged = [](TmlLangDispatcher* dispatcher) {
        LoadQtTranslations(dispatcher->ActiveLanguage());
    };
    LoadQtTranslations(mlLangDispatcher1->ActiveLanguage());
}

TSTRGlobData::~TSTRGlobData() {
    LoadQtTranslations(0);
}

TSTRGlobData& CreateSTRGlobData() {
    if (STRGlobData == nullptr) {
        STRGlobData = new TSTRGlobData();
        SetGlobalTextLookup([](std::string_view id) {
            return STRGlobData != nullptr ? STRGlobData->mlLang1->GetTextOrDefault(id)
                                          : std::string();
        });
    }
    return *STRGlobData;
}

void FreeSTRGlobData() {
    SetGlobalTextLookup({});
    delete STRGlobData;
    STRGlobData = nullptr;
}

} // namespace vx
