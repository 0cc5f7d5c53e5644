// Whether the user just clicked or pressed a key in the browser panel. A
// link the page follows then is the user's own request, which may go to the
// user's browser; a page that navigates by itself, on a timer or at load,
// must not send anything anywhere. One click allows one request, for a
// moment only.
#pragma once

#include <cstdint>

namespace tarvix {

class UserRequestGate {
public:
    // The page reacts to a click within the same message; a request that
    // comes much later was not the click's.
    static constexpr std::uint64_t kWindowMs = 1000;

    void NoteInput(std::uint64_t nowMs) {
        m_inputAt = nowMs;
        m_open = true;
    }

    // True once per input, within the window after it.
    bool Take(std::uint64_t nowMs) {
        const bool open = m_open && nowMs >= m_inputAt && nowMs - m_inputAt <= kWindowMs;
        m_open = false;
        return open;
    }

private:
    std::uint64_t m_inputAt = 0;
    bool m_open = false;
};

}  // namespace tarvix
