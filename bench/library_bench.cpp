// The script library at the sizes a large user has: what a key that starts
// nothing costs the hotkey handler, what a start costs, and removing many
// rows at once, each beside the way it was done before (every row walked,
// rows removed one at a time) in the same run.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "key_names.h"
#include "run_control.h"
#include "script_library.h"

namespace {

using namespace tarvix;

constexpr uint16_t kF5 = 0x74;
constexpr uint16_t kUnrelated = 'X';

// The hotkey texts made once each, as the main window keeps them.
ScriptLibrary::RowOrder CachedTextOrder() {
    auto texts = std::make_shared<std::map<uint32_t, std::string>>();
    auto text = [texts](const CScript& s) -> const std::string& {
        const uint32_t key = s.m_beginHotkey | static_cast<uint32_t>(s.m_beginHotkeyMod) << 16;
        auto found = texts->find(key);
        if (found == texts->end()) found = texts->emplace(key, HotkeyText(s.m_beginHotkey, s.m_beginHotkeyMod)).first;
        return found->second;
    };
    return [text](const CScript& a, const CScript& b) { return text(a) < text(b); };
}

// n scripts on F1 to F12 without F5, every modifier combination, plus the
// one script on F5 that the start measurements press.
std::vector<std::unique_ptr<CScript>> Scripts(size_t n) {
    std::vector<std::unique_ptr<CScript>> scripts;
    for (size_t i = 0; i < n; ++i) {
        auto s = std::make_unique<CScript>(Edition::V11);
        uint16_t vk = static_cast<uint16_t>(0x70 + i % 11);
        if (vk >= kF5) ++vk;
        s->SetProperties("x", vk, static_cast<uint16_t>((i / 11) % 8), RepeatCount, 1);
        s->m_actions.push_back(ScriptAction::EndMarker());
        scripts.push_back(std::move(s));
    }
    auto played = std::make_unique<CScript>(Edition::V11);
    played->SetProperties("played", kF5, 0, RepeatCount, 1);
    played->m_actions.push_back({CategoryKey, KindKeyPress, "", 66, 1});
    played->m_actions.push_back(ScriptAction::EndMarker());
    scripts.push_back(std::move(played));
    return scripts;
}

struct DiscardingLauncher : RunLauncher {
    void ResetStop() override {}
    void SetStop() override {}
    void Start(std::unique_ptr<PlaybackJob> job) override {
        benchmark::DoNotOptimize(job.get());
        job->script->Clear();  // the run has ended
    }
};

DispatchContext Context() {
    DispatchContext context;
    context.stopHotkey = 65;
    context.stopHotkeyMod = 3;
    return context;
}

// What the handler does for one report: nothing more once the key concerns
// no script and not the stop hotkey.
void BM_UnrelatedKey(benchmark::State& state) {
    ScriptLibrary library(CachedTextOrder());
    library.AddAll(Scripts(static_cast<size_t>(state.range(0))));
    DiscardingLauncher launcher;
    const DispatchContext context = Context();
    for (auto _ : state) {
        if (ReportConcerns(library, kUnrelated, context))
            benchmark::DoNotOptimize(DispatchHotkey(library, kUnrelated, {}, context, launcher));
    }
}
BENCHMARK(BM_UnrelatedKey)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000);

// The way before: every row's record looked at for every report.
void BM_UnrelatedKey_WalkEveryRow(benchmark::State& state) {
    const auto scripts = Scripts(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        int started = 0;
        for (const auto& s : scripts) started += ShouldStart(*s, kUnrelated, {}, Edition::V11);
        benchmark::DoNotOptimize(started);
    }
}
BENCHMARK(BM_UnrelatedKey_WalkEveryRow)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000);

// A start: the one script on F5 found and its job made.
void BM_StartKey(benchmark::State& state) {
    ScriptLibrary library(CachedTextOrder());
    library.AddAll(Scripts(static_cast<size_t>(state.range(0))));
    DiscardingLauncher launcher;
    const DispatchContext context = Context();
    for (auto _ : state) {
        if (ReportConcerns(library, kF5, context))
            benchmark::DoNotOptimize(DispatchHotkey(library, kF5, {}, context, launcher));
    }
}
BENCHMARK(BM_StartKey)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000);

std::unique_ptr<ScriptLibrary> HalfSelected(size_t n) {
    auto library = std::make_unique<ScriptLibrary>(CachedTextOrder());
    library->AddAll(Scripts(n));
    return library;
}

std::vector<size_t> EveryOtherRow(const ScriptLibrary& library) {
    std::vector<size_t> rows;
    for (size_t row = 0; row < library.size(); row += 2) rows.push_back(row);
    return rows;
}

// Half the rows selected and deleted at once.
void BM_RemoveHalf(benchmark::State& state) {
    const auto n = static_cast<size_t>(state.range(0));
    std::unique_ptr<ScriptLibrary> library;
    for (auto _ : state) {
        state.PauseTiming();  // the set-up, and the last library's destruction
        library = HalfSelected(n);
        const std::vector<size_t> rows = EveryOtherRow(*library);
        state.ResumeTiming();
        library->Remove(rows);
        benchmark::DoNotOptimize(library->size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveHalf)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

// The same rows removed one at a time, highest first, as rows of a list
// control were.
void BM_RemoveHalf_OneByOne(benchmark::State& state) {
    const auto n = static_cast<size_t>(state.range(0));
    std::unique_ptr<ScriptLibrary> library;
    for (auto _ : state) {
        state.PauseTiming();
        library = HalfSelected(n);
        const std::vector<size_t> rows = EveryOtherRow(*library);
        state.ResumeTiming();
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) library->Remove({*row});
        benchmark::DoNotOptimize(library->size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveHalf_OneByOne)->Arg(1000)->Arg(10000)->Arg(30000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
