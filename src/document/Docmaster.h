#pragma once

// A document without a window, for the test converter: tests and a project read into pages
// that are never shown, saved as the document window saves them.

#include "platform/runtime/Component.h"

#include <memory>
#include <string>

namespace vx {

class TDatabuffer;
class TDocBox;
class TStringList;

class TDocmaster : public TComponent {
public:
    explicit TDocmaster(TComponent* owner = nullptr);
    ~TDocmaster() override;

    TDatabuffer& Databuffer() { return *databuffer_; }
    // Null until LoadProject.
    TDocBox* DocBox() const { return docBox_; }

    // Reads the tests and the project (pages and labels), or makes one empty graph page when
    // the project is missing or cannot be read; only the first call does anything.
    void LoadProject(const std::string& configurationFile, const TStringList& files);
    // The .VRX; raises EDocumentFile (cannot save) and leaves an existing file as it was.
    void SaveDocument(const std::string& fileName);

private:
    bool ReadProjectPages(const std::string& configurationFile);

    std::unique_ptr<TDatabuffer> databuffer_;
    TDocBox* docBox_ = nullptr; // owned as a component
};

} // namespace vx
