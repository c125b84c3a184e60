#pragma once

#include "platform/runtime/Meta.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 0x1,
    csReading = 0x2,
    csDestroying = 0x4,
    csDesigning = 0x8,
};

// Base of every engine and streamable object: an owner destroys what it owns, in reverse
// creation order; components are found by name ignoring case; others can ask to be told when
// a component goes.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // The class name as stored in component streams ("TAsse"), without namespace; by default
    // the name of the class's property table.
    virtual std::string ClassName() const { return ClassInfo().Name; }
    // Published properties: Name (carried in the stream's object header) and Tag.
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Raises EComponentError "A component named <name> already exists" on a clash within
    // the owner.
    virtual void SetName(std::string_view name);
    int32_t Tag = 0;

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // Raises EListError when out of range.
    TComponent* Components(int index) const;
    TComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // Notification(this, opRemove) reaches `other` when this component is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    unsigned ComponentState() const { return state_; }
    void SetComponentState(unsigned state) { state_ = state; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }

    // Runs after a stream has been read into the component.
    virtual void Loaded();

protected:
    virtual void Notification(TComponent* component, TOperation operation);

private:
    TComponent* owner_ = nullptr;
    std::string name_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    unsigned state_ = 0;
};

} // namespace vx
