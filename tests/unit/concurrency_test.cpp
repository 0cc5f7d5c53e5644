// Runs on real threads, as the program has them: the window thread starts
// runs, sets and resets the stop signal and deletes records while worker
// threads play. Built under ThreadSanitizer too (preset "tsan"), where a race
// between them fails the test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "test_support.h"
#include "playback_engine.h"
#include "run_control.h"

namespace tarvix {
namespace {

// Each run gets its own ports; they only count the keys.
struct CountingPorts : testing::Recorder {
    std::atomic<int>* keys;
    explicit CountingPorts(std::atomic<int>* counter) : keys(counter) {}
    void Key(uint8_t, uint16_t, bool) override { keys->fetch_add(1, std::memory_order_relaxed); }
    uint64_t NowUs() override { return Now(); }
    // A script's millisecond passes in 10 microseconds.
    static uint64_t Now() {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) * 100;
    }
};

// The shared stop signal: set and reset by one thread, polled by many.
class SharedStop : public StopSignal {
public:
    bool IsSet() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_set;
    }
    // A millisecond of the script passes as 10 microseconds here.
    bool WaitFor(uint32_t ms) override {
        return WaitUntil(CountingPorts::Now() + uint64_t{ms} * 1000);
    }
    bool WaitUntil(uint64_t deadlineUs) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        const std::chrono::steady_clock::time_point deadline{std::chrono::microseconds(deadlineUs / 100)};
        return m_changed.wait_until(lock, deadline, [this] { return m_set; });
    }
    void Set(bool set) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_set = set;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set = false;
};

class ThreadLauncher : public RunLauncher {
public:
    explicit ThreadLauncher(std::atomic<int>* keys) : m_keys(keys) {}
    ~ThreadLauncher() override { Join(); }
    void ResetStop() override { stop.Set(false); }
    void SetStop() override { stop.Set(true); }
    void Start(std::unique_ptr<PlaybackJob> job) override {
        m_threads.emplace_back([this, job = std::move(job)] {
            CountingPorts ports(m_keys);
            PlaybackPorts playback{ports, ports, stop, ports};
            PlayJob(*job, playback);
        });
    }
    void Join() {
        for (std::thread& t : m_threads) t.join();
        m_threads.clear();
    }
    SharedStop stop;

private:
    std::atomic<int>* m_keys;
    std::vector<std::thread> m_threads;
};

std::unique_ptr<CScript> LoopingScript(uint16_t vk, int32_t runOnce) {
    auto script = testing::Record(vk, 0);
    script->m_runOnce = runOnce;
    script->m_repeatType = RepeatUntilStop;
    for (const char* line : {"KeyPress 65 1", "Delay 1", "KeyDown 66 2"}) script->AddActionFromLine(line);
    script->m_actions.push_back(ScriptAction::EndMarker());
    return script;
}

TEST(Concurrency, StartsStopsAndDeletesWhileRunsPlay) {
    constexpr uint16_t kStop = 27;
    std::atomic<int> keys{0};
    ThreadLauncher launcher{&keys};
    ScriptLibrary library{testing::HotkeyTextOrder()};
    const DispatchContext context{Edition::V11, kStop, 0, 0, ""};
    const auto press = [&](uint16_t vk) { return DispatchHotkey(library, vk, {}, context, launcher); };
    library.Add(LoopingScript(116, 1));
    library.Add(LoopingScript(116, 0));
    library.Add(LoopingScript(117, 1));

    int started = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int round = 0; round < 20; ++round) {
        started += press(round % 2 ? 117 : 116);
        // On a loaded machine the first threads may not run before the stop
        // rounds end them all; one played key makes sure some run played.
        while (round == 0 && keys.load() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (round % 5 == 4) press(kStop);
    }
    // Records of playing scripts go away; their runs keep their own copy
    // and the shared flag.
    started += press(116);
    std::shared_ptr<RunFlag> flagOfDeleted = library[0].m_running;
    library.Remove({0, 1});

    press(kStop);
    launcher.Join();

    EXPECT_GT(started, 3);
    EXPECT_GT(keys.load(), 0);
    EXPECT_FALSE(flagOfDeleted->IsSet());
    ASSERT_EQ(library.size(), 1u);
    EXPECT_FALSE(library[0].m_running->IsSet()) << "a run ended without clearing its flag";
}

}  // namespace
}  // namespace tarvix
