#pragma once

namespace zova {

// Whether translucent pixels of top-level windows are blended with what lies below.
class CompositingCheck {
public:
    virtual ~CompositingCheck() = default;
    // True when a compositing manager runs; asks the session on every call.
    virtual bool compositingManagerRunning() = 0;
};

} // namespace zova
