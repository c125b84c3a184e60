#include "data/prExprMeta.h"

#include "platform/runtime/Component.h"
#include "platform/runtime/Strings.h"

namespace vx {

namespace {

const std::vector<std::string> booleanNames = {"False", "True"};

} // namespace

TExprObject* TMetaExprObject::View(void* handle, const TClassInfo& cls) const {
    if (!handle)
        return nullptr;
    auto& view = views_[handle];
    if (!view || &view->cls_ != &cls)
        view = std::make_unique<TMetaExprObject>(handle, cls);
    return view.get();
}

const TExprProperty* TMetaExprObject::FindProperty(std::string_view name) const {
    const TPropInfo* p = cls_.FindProperty(name);
    if (!p)
        return nullptr;
    auto& slot = properties_[UpperCase(name)];
    if (slot)
        return slot.get();
    auto e = std::make_unique<TExprProperty>();
    e->Name = p->Name;
    e->Type.Name = p->TypeName;
    auto self = [](TExprObject& o) -> const TMetaExprObject& {
        return static_cast<const TMetaExprObject&>(o);
    };
    switch (p->Kind) {
    case TPropKind::Integer:
    case TPropKind::Int64:
        e->Kind = TPropertyKind::Integer;
        e->Read = [p, self](TExprObject& o) { return TPropertyValue(p->GetOrd(self(o).handle_)); };
        break;
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
        e->Kind = TPropertyKind::Enumeration;
        e->Type.EnumNames = p->Kind == TPropKind::Boolean ? booleanNames : p->Names;
        e->Read = [p, self](TExprObject& o) { return TPropertyValue(p->GetOrd(self(o).handle_)); };
        break;
    case TPropKind::Float:
        e->Kind = TPropertyKind::Float;
        e->Read = [p, self](TExprObject& o) {
            return TPropertyValue(p->GetFloat(self(o).handle_));
        };
        break;
    case TPropKind::String:
        e->Kind = TPropertyKind::String;
        e->Read = [p, self](TExprObject& o) { return TPropertyValue(p->GetStr(self(o).handle_)); };
        break;
    case TPropKind::Object:
        e->Kind = TPropertyKind::Class;
        e->Read = [p, self](TExprObject& o) {
            const TMetaExprObject& v = self(o);
            return TPropertyValue(v.View(p->GetObj(v.handle_), *p->ObjectClass));
        };
        break;
    case TPropKind::Component:
        e->Kind = TPropertyKind::Class;
        e->Read = [p, self](TExprObject& o) {
            const TMetaExprObject& v = self(o);
            auto* c = static_cast<TComponent*>(p->GetObj(v.handle_));
            return TPropertyValue(c ? v.View(MetaHandle(c), c->ClassInfo()) : nullptr);
        };
        break;
    default:
        e->Kind = TPropertyKind::Other;
        break;
    }
    slot = std::move(e);
    return slot.get();
}

} // namespace vx
