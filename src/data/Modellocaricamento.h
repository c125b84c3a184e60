#pragma once

// A load model: where names, units and values sit in the test files of one kind, stored in
// .WHF files.

#include "data/ProvaText.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/StringList.h"

#include <string>

namespace vx {

class TModellocaricamento : public TComponent {
public:
    explicit TModellocaricamento(TComponent* owner = nullptr) : TComponent(owner) {}

    std::string ClassName() const override { return "TModellocaricamento"; }

    // The file-name filter extension the model applies to; at most 255 characters stored.
    std::string Mask;
    TCellPos NamesPos;
    TCellPos UnitsPos;
    TCellPos DataPos;
    // Carried through the file as they are; nothing else fills or reads them.
    TStringList FirstList;
    TStringList SecondList;

    // False when the file cannot be read or is no load model; the model is then unchanged.
    bool LoadFromFile(const std::string& fileName);
    // Creates or overwrites the file; an old file stays whole when writing fails.
    bool SaveToFile(const std::string& fileName) const;
};

} // namespace vx
