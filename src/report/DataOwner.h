#pragma once

namespace vx {

class TDatabuffer;

// What owns drawable objects that show the tests (the graph): the objects take their data
// buffer from their owner when they are created.
class TDataOwner {
public:
    // The tests shown; null when there are none yet.
    virtual TDatabuffer* Data() = 0;

protected:
    ~TDataOwner() = default;
};

} // namespace vx
