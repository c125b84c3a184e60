#include "document/Document.h"

namespace vx {

void TDocForm::UpdatePageTypeControls() {}

void TDocForm::ReportPageChanged(TComponent*) {}

void TDocForm::ShowProgress(const std::string&, int) {}

void TDocForm::SetProgress(int) {}

void TDocForm::HideProgress() {}

} // namespace vx
