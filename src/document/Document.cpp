#include "document/Document.h"

#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/ui/TabSet.h"

namespace vx {

TDocForm::TDocForm(QWidget* parent)
    : TForm(parent, "DocForm"), Databuffer(std::make_unique<TDatabuffer>()) {
    elencopagine = new TTabSet(this, "elencopagine");
    mlLang1 = CreateFormTable(this, "TDocForm");
}

TDocForm::~TDocForm() = default;

} // namespace vx
