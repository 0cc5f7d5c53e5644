#pragma once

#include <atomic>
#include <cstdint>

namespace tarvix {

// "This script is playing": set by the dispatcher when it starts a run,
// cleared by the run when it ends. The record and each of its runs share it,
// so a run that outlives a deleted record clears a flag that still exists.
class RunFlag {
public:
    void Set() { m_value.store(1, std::memory_order_release); }
    void Clear() { m_value.store(0, std::memory_order_release); }
    bool IsSet() const { return m_value.load(std::memory_order_acquire) != 0; }

private:
    std::atomic<int32_t> m_value{0};
};

}  // namespace tarvix
