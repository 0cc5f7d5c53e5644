#include "hook_watchdog.h"

namespace tarvix::hook {

namespace {

// Tick counts wrap after 49.7 days; compared as a signed distance they stay
// ordered across the wrap.
bool After(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

}  // namespace

void HookWatchdog::Installed(uint32_t lastInputMs) {
    m_baseline = lastInputMs;
    m_pending = lastInputMs;
}

void HookWatchdog::Seen() {
    m_lastSeen = m_clock.NowMs();
    m_seenAny = true;
}

bool HookWatchdog::HookLost(uint32_t lastInputMs) {
    const uint32_t pending = m_pending;
    m_pending = lastInputMs;
    return After(pending, m_baseline) && (!m_seenAny || After(pending, m_lastSeen));
}

}  // namespace tarvix::hook
