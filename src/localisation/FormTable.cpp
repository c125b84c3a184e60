#include "localisation/FormTable.h"

#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Exceptions.h"

namespace vx {

TmlLang* CreateFormTable(QObject* form, std::string_view name) {
    auto* lang = new TmlLang(form);
    lang->setObjectName(QStringLiteral("mlLang1"));
    if (!LoadTranslationResource(*lang, name))
        throw Exception("The translation table " + std::string(name) +
                        " is missing from the program");
    if (STRGlobData != nullptr)
        lang->SetLangDispatcher(STRGlobData->mlLangDispatcher1);
    else
        lang->ChangeLanguage();
    return lang;
}

} // namespace vx
