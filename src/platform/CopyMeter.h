#pragma once

#include <QtGlobal>

namespace vantrel {

// Where the copies of a pass report the bytes they move, a block at a time, as each
// block has gone: the pass's rate is read there, and a cap on it holds the copy back
// before its next block. Shared by all the pass's workers, whatever process or
// thread they copy in.
class CopyMeter {
public:
    virtual ~CopyMeter() = default;
    // Returns once the cap has let bytes go (at once when there is none).
    virtual void take(qint64 bytes) = 0;
};

// Reports bytes to meter, when there is one.
inline void report(CopyMeter* meter, qint64 bytes) {
    if (meter != nullptr) {
        meter->take(bytes);
    }
}

} // namespace vantrel
