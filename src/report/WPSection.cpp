#include "report/WPSection.h"

#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "report/Asse.h"

#include <algorithm>

namespace vx {

namespace {

// The least bytes a section and an axis take in a side stream, to bound counts before
// anything is made.
constexpr size_t kMinSectionBytes = 8;
constexpr size_t kMinAxisBytes = 4;

// Reads a count that the writer never lets exceed limit.
int ReadBoundedCount(TStream& stream, int limit, size_t minElementBytes) {
    const int32_t count = stream.ReadI32();
    if (count > limit)
        throw EReadError("Invalid stream format");
    return static_cast<int>(stream.CheckCount(count, minElementBytes));
}

template <class T>
void Forget(std::vector<T*>& items, TComponent* gone) {
    items.erase(std::remove(items.begin(), items.end(), gone), items.end());
}

// Frees the items last to first, each told first that this container no longer needs word
// of its end.
template <class T>
void FreeAll(std::vector<T*>& items, TComponent* container) {
    while (!items.empty()) {
        T* item = items.back();
        items.pop_back();
        item->RemoveFreeNotification(container);
        delete item;
    }
}

template <class T>
void CheckIndex(const std::vector<T*>& items, int i, const char* message) {
    if (i < 0 || i >= static_cast<int>(items.size()))
        throw EItemsinvalid(message);
}

} // namespace

// ---- TWPSection ----

TWPSection::TWPSection(TComponent* owner) : TComponent(owner) {}

TWPSection::~TWPSection() {
    Clear();
}

void TWPSection::AddAxes(int n) {
    for (int i = 0; i < n && AxisCount() < kMaxAxes; ++i) {
        auto* axis = new TAsse(Owner());
        axes_.push_back(axis);
        axis->FreeNotification(this);
    }
}

void TWPSection::DeleteAxis(int i) {
    CheckIndex(axes_, i, "Invalid Item");
    TAsse* axis = axes_[static_cast<size_t>(i)];
    axes_.erase(axes_.begin() + i);
    axis->RemoveFreeNotification(this);
    delete axis;
}

TAsse* TWPSection::GetAxis(int i) const {
    CheckIndex(axes_, i, "Invalid Item");
    return axes_[static_cast<size_t>(i)];
}

int TWPSection::AxisSlotCount() const {
    int slots = AxisCount();
    for (const TAsse* axis : axes_)
        slots += axis->DoubleAxe ? 1 : 0;
    return slots;
}

void TWPSection::Clear() {
    FreeAll(axes_, this);
}

void TWPSection::WriteAxes(TStream& stream) const {
    stream.WriteI32(Size);
    stream.WriteI32(AxisCount());
    for (const TAsse* axis : axes_)
        WriteComponent(stream, *axis);
}

void TWPSection::ReadAxes(TStream& stream) {
    TWPSection read(Owner());
    read.ReadAxesInPlace(stream);
    TakeAxes(read);
}

void TWPSection::ReadAxesInPlace(TStream& stream) {
    Clear();
    Size = stream.ReadI32();
    const int count = ReadBoundedCount(stream, kMaxAxes, kMinAxisBytes);
    if (count < 1)
        return;
    AddAxes(count);
    for (TAsse* axis : axes_)
        ReadComponent(stream, *axis);
}

void TWPSection::TakeAxes(TWPSection& other) {
    Clear();
    Size = other.Size;
    for (TAsse* axis : other.axes_) {
        axis->RemoveFreeNotification(&other);
        axis->FreeNotification(this);
    }
    axes_ = std::move(other.axes_);
    other.axes_.clear();
}

void TWPSection::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove)
        Forget(axes_, component);
}

// ---- TWPSide ----

TWPSide::TWPSide(TComponent* owner) : TComponent(owner) {}

TWPSide::~TWPSide() {
    Clear();
}

void TWPSide::AddSections(int n) {
    for (int i = 0; i < n && SectionCount() < kMaxSections; ++i) {
        auto* section = new TWPSection(Owner());
        sections_.push_back(section);
        section->FreeNotification(this);
    }
}

void TWPSide::DeleteSection(int i) {
    CheckIndex(sections_, i, "Invalid Section");
    TWPSection* section = sections_[static_cast<size_t>(i)];
    sections_.erase(sections_.begin() + i);
    section->RemoveFreeNotification(this);
    delete section;
}

TWPSection* TWPSide::GetSection(int i) const {
    CheckIndex(sections_, i, "Invalid Section");
    return sections_[static_cast<size_t>(i)];
}

int TWPSide::AxisCount() const {
    int count = 0;
    for (const TWPSection* section : sections_)
        count += section->AxisCount();
    return count;
}

TAsse* TWPSide::GetAxisByIndex(int i) const {
    if (i < 0)
        return nullptr;
    for (const TWPSection* section : sections_) {
        if (i < section->AxisCount())
            return section->GetAxis(i);
        i -= section->AxisCount();
    }
    return nullptr;
}

void TWPSide::Clear() {
    FreeAll(sections_, this);
}

void TWPSide::WriteToStream(TStream& stream) const {
    stream.WriteI32(SectionCount());
    for (const TWPSection* section : sections_)
        section->WriteAxes(stream);
}

void TWPSide::ReadFromStream(TStream& stream) {
    // Read beside the sections we have and swap only when the whole side was read, so that a
    // broken stream leaves the graph's axes as they were.
    TWPSide read(Owner());
    read.ReadInPlace(stream);
    Clear();
    for (TWPSection* section : read.sections_) {
        section->RemoveFreeNotification(&read);
        section->FreeNotification(this);
    }
    sections_ = std::move(read.sections_);
    read.sections_.clear();
}

void TWPSide::ReadInPlace(TStream& stream) {
    Clear();
    const int count = ReadBoundedCount(stream, kMaxSections, kMinSectionBytes);
    if (count < 1)
        return;
    AddSections(count);
    for (TWPSection* section : sections_)
        section->ReadAxesInPlace(stream);
}

void TWPSide::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove)
        Forget(sections_, component);
}

} // namespace vx
