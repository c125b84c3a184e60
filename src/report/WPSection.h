#pragma once

#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"

#include <cstdint>
#include <vector>

namespace vx {

class TAsse;
class TStream;

// An index outside a section's axes or a side's sections.
class EItemsinvalid : public Exception {
    using Exception::Exception;
};

// A share of a side's height holding axes side by side, from the graph's edge inwards. The
// axes belong to the section's owner (the graph), so that they find its data; the section
// frees them, and forgets any that the owner frees first.
class TWPSection : public TComponent {
public:
    static constexpr int kMaxAxes = 8;

    explicit TWPSection(TComponent* owner);
    ~TWPSection() override;

    // Percent of the side's height.
    int32_t Size = 0;

    // Appends up to n axes while the section holds fewer than 8.
    void AddAxes(int n);
    // Raises EItemsinvalid "Invalid Item" outside 0..AxisCount - 1.
    void DeleteAxis(int i);
    TAsse* GetAxis(int i) const;
    int AxisCount() const { return static_cast<int>(axes_.size()); }
    // Axis widths needed side by side: a double axis takes two.
    int AxisSlotCount() const;
    void Clear();

    // i32 size, i32 axis count, each axis as a component.
    void WriteAxes(TStream& stream) const;
    // Replaces size and axes with the stream's; a count below 1 leaves the section empty.
    // A count above 8 or beyond the stream raises EReadError; the section is then as it was.
    void ReadAxes(TStream& stream);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TWPSide;
    void ReadAxesInPlace(TStream& stream);
    void TakeAxes(TWPSection& other);

    std::vector<TAsse*> axes_;
};

// One side of a graph (left or right): sections from top to bottom, owned by the side's
// owner (the graph) and freed by the side as the section frees its axes.
class TWPSide : public TComponent {
public:
    static constexpr int kMaxSections = 8;

    explicit TWPSide(TComponent* owner);
    ~TWPSide() override;

    // Appends up to n sections while the side holds fewer than 8.
    void AddSections(int n);
    // Raises EItemsinvalid "Invalid Section" outside 0..SectionCount - 1.
    void DeleteSection(int i);
    TWPSection* GetSection(int i) const;
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    // Axes of all sections.
    int AxisCount() const;
    // Counting through the sections in order; null outside 0..AxisCount - 1.
    TAsse* GetAxisByIndex(int i) const;
    void Clear();

    // i32 section count, then each section's part (WriteAxes).
    void WriteToStream(TStream& stream) const;
    // Replaces the sections with the stream's. A count above 8 or beyond the stream raises
    // EReadError, as does a broken axis; the side is then as it was.
    void ReadFromStream(TStream& stream);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ReadInPlace(TStream& stream);

    std::vector<TWPSection*> sections_;
};

} // namespace vx
