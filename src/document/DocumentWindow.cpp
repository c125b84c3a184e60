#include "document/Document.h"

namespace vx {

void TDocForm::UpdatePageTypeControls() {}

void TDocForm::ReportPageChanged(TComponent*) {}

void TDocForm::ShowProgress(const std::string&, int) {}

void TDocForm::SetProgress(int) {}

void TDocForm::HideProgress() {}

} // namespace vx

namespace vx {

void TDocForm::NewDocument(const std::string&, const TStringList&) {}
void TDocForm::OpenDocumentStream(TStream&) {}
void TDocForm::PrintDocumentDialog() {}
void TDocForm::PrintPages(int, int) {}
void TDocForm::PrintCurrentPage() {}
void TDocForm::InvalidatePage() {}
void TDocForm::ZoomToPage() {}
void TDocForm::TakePrinterOrientation() {}

} // namespace vx
