#include "document/Docmaster.h"

#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "report/DocBox.h"
#include "report/WPPage.h"

namespace vx {

TDocmaster::TDocmaster(TComponent* owner)
    : TComponent(owner), databuffer_(std::make_unique<TDatabuffer>()) {}

TDocmaster::~TDocmaster() {
    // The pages point to the tests, so they go first.
    delete docBox_;
    docBox_ = nullptr;
}

void TDocmaster::LoadProject(const std::string& configurationFile, const TStringList& files) {
    if (docBox_)
        return;
    docBox_ = new TDocBox(this);
    databuffer_->FileNames.Assign(files);
    for (int i = 0; i < files.Count(); ++i)
        ReadTestFile(*databuffer_, files[i], {});
    if (!ReadProjectPages(configurationFile)) {
        TWPPage* page = docBox_->AddPage();
        page->DataBuffer = databuffer_.get();
        page->SetPageKind(PK_GRAPHIC);
        docBox_->ShowPage(0);
    }
    docBox_->ZoomToFit();
    docBox_->RedrawCurrentPage();
}

bool TDocmaster::ReadProjectPages(const std::string& configurationFile) {
    const std::string path =
        configurationFile.empty() ? std::string() : FindExistingPath(configurationFile);
    if (path.empty())
        return false;
    TProjectContent project;
    try {
        ReadFileChecked(path, [&](TStream& stream) {
            project = ReadProject(stream, databuffer_.get(), path, false);
        });
    } catch (const EDocumentFile&) {
        // A converter job goes on with an empty graph page.
        return false;
    }
    if (project.Pages.empty())
        return false;
    docBox_->ClearPages();
    for (std::unique_ptr<TWPPage>& page : project.Pages)
        docBox_->AdoptPage(page.release());
    docBox_->ShowPage(0);
    TakeProjectLabels(project.Labels, *databuffer_);
    return true;
}

void TDocmaster::SaveDocument(const std::string& fileName) {
    std::vector<TWPPage*> pages;
    if (docBox_)
        for (int i = 0; i < docBox_->PageCount(); ++i)
            pages.push_back(docBox_->GetPage(i));
    SaveDocumentFile(fileName, *databuffer_, pages);
}

} // namespace vx
