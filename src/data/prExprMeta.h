#pragma once

// Streamable objects seen by the expression language: their published properties, as the
// meta layer declares them, read by name.

#include "data/prExprObject.h"
#include "platform/runtime/Meta.h"

#include <map>
#include <memory>
#include <string>

namespace vx {

// A view of an object with a property table; the object must outlive the view. Nested
// objects and referenced components are handed out as views owned by this one.
class TMetaExprObject final : public TExprObject {
public:
    TMetaExprObject(void* handle, const TClassInfo& cls) : handle_(handle), cls_(cls) {}
    explicit TMetaExprObject(TPersistent& object)
        : TMetaExprObject(MetaHandle(&object), object.ClassInfo()) {}

    std::string ClassName() const override { return cls_.Name; }
    // Integers, Booleans, enumerations, floats, strings, nested objects and references;
    // sets, string lists, pictures and events have no expression type.
    const TExprProperty* FindProperty(std::string_view name) const override;

private:
    TExprObject* View(void* handle, const TClassInfo& cls) const;

    void* handle_;
    const TClassInfo& cls_;
    mutable std::map<std::string, std::unique_ptr<TExprProperty>> properties_;
    mutable std::map<void*, std::unique_ptr<TMetaExprObject>> views_;
};

} // namespace vx
