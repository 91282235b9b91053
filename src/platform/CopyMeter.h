#pragma once

#include <QtGlobal>

namespace vantrel {

// Where the copies of a pass ask leave to send their bytes, a piece at a time, before
// the piece goes: the pass's rate is read there, and a cap on it holds each piece back
// until its slot. Shared by all the pass's workers, whatever process or thread they
// copy in.
class CopyMeter {
public:
    virtual ~CopyMeter() = default;
    // Waits for the slot of the next bytes to send and returns how many of wanted
    // (at least one) may go now; all of them at once when there is no cap.
    virtual qint64 take(qint64 wanted) = 0;
};

// How many of wanted bytes may go now, once meter (when there is one) has let them.
inline qint64 allowance(CopyMeter* meter, qint64 wanted) {
    return meter != nullptr && wanted > 0 ? meter->take(wanted) : wanted;
}

// Sends size bytes with send(data, n), in the pieces meter lets go; stops at send's
// first failure (anything but its default value) and returns it.
template <typename Send>
auto sendMetered(CopyMeter* meter, const char* data, qint64 size, Send send)
    -> decltype(send(data, size)) {
    while (size > 0) {
        const qint64 piece = qBound<qint64>(1, allowance(meter, size), size);
        if (const auto failure = send(data, piece); failure != decltype(failure){}) {
            return failure;
        }
        data += piece;
        size -= piece;
    }
    return {};
}

} // namespace vantrel
