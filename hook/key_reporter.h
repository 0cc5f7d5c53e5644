#pragma once

#include <windows.h>

#include <bitset>

#include "report_targets.h"

namespace tarvix::hook {

// Decides what each low-level keyboard event reports and posts it. Lives on
// the hook thread; the hook callback feeds it every event it sees.
class KeyReporter {
public:
    explicit KeyReporter(const ReportTargets& targets) : m_targets(targets) {}

    void OnKeyEvent(WPARAM message, const KBDLLHOOKSTRUCT& key);

    // A key-up we never saw (the hook was gone for a while, or the input
    // went to a secure desktop) would leave its key looking held, and every
    // later press of it would pass for an auto-repeat. Releases keys that the
    // system says are up and that have had no event for a while.
    void ForgetReleasedKeys();

private:
    void Report(DWORD vk) const;
    bool Held(int vk) const;
    bool AltAndCtrlHeld() const;

    const ReportTargets& m_targets;
    std::bitset<256> m_down;
    DWORD m_lastEvent[256] = {};  // tick of each key's last down or repeat
};

// The capture index 0..8 of a key, or -1 when it is not a capture key.
int CaptureIndex(DWORD vk, bool onKeypad);

}  // namespace tarvix::hook
