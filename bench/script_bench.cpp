// Speed of reading scripts: action lines, whole script files, the profile
// reader. Each figure is printed beside a baseline measured in the same run,
// because the build machines are shared and absolute times drift.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "profile.h"
#include "script.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvix;

// A recorded macro is mostly key downs and ups with delays between them and
// pointer moves; clicks and typed text are rarer.
struct Weighted {
    int32_t kind;
    int weight;
};
constexpr Weighted kMix[] = {
    {KindKeyDown, 20},   {KindKeyUp, 20},       {KindKeyPress, 10},       {KindDelay, 25},
    {KindMoveTo, 10},    {KindMoveR, 3},        {KindLeftClick, 4},       {KindRightClick, 1},
    {KindLeftDoubleClick, 1}, {KindLeftDown, 1}, {KindLeftUp, 1},         {KindRightDown, 1},
    {KindRightUp, 1},    {KindSayString, 3},
};

class ActionSource {
public:
    explicit ActionSource(uint32_t seed) : rng_(seed) {}

    ScriptAction Next(Edition edition) {
        int total = 0;
        for (const Weighted& w : kMix) total += w.weight;
        for (;;) {
            int pick = Uniform(0, total - 1);
            int32_t kind = kMix[0].kind;
            for (const Weighted& w : kMix) {
                if (pick < w.weight) {
                    kind = w.kind;
                    break;
                }
                pick -= w.weight;
            }
            if (EditionHasKind(edition, kind)) return Make(kind);
        }
    }

private:
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    ScriptAction Make(int32_t kind) {
        ScriptAction a;
        a.kind = kind;
        a.category = CategoryOfKind(kind);
        switch (a.category) {
            case CategoryKey:
                a.param1 = Uniform(8, 222);
                a.param2 = 1;
                break;
            case CategoryMove:
                a.param1 = kind == KindMoveR ? Uniform(-200, 200) : Uniform(0, 1919);
                a.param2 = kind == KindMoveR ? Uniform(-200, 200) : Uniform(0, 1079);
                break;
            case CategoryButton:
                a.param1 = 1;
                break;
            case CategoryDelay:
                a.param1 = Uniform(0, 3) == 0 ? Uniform(100, 5000) : Uniform(10, 99);
                break;
            case CategoryText:
                // Big5 words and ASCII, as users type greetings and log-ins.
                for (int n = Uniform(2, 12); n > 0; --n)
                    a.text += Uniform(0, 1) ? "\xA7\x41\xA6\x6E" : "word ";
                break;
            default:
                break;
        }
        return a;
    }

    std::mt19937 rng_;
};

struct LineSet {
    std::vector<std::string> lines;  // NUL-terminated for the C runtime baseline
    size_t bytes = 0;                // with a CR LF per line, as in a file
};

LineSet MakeLines(Edition edition, uint32_t seed) {
    LineSet set;
    ActionSource source(seed);
    for (int i = 0; i < 20000; ++i) set.lines.push_back(FormatActionLine(source.Next(edition), edition));
    for (const std::string& l : set.lines) set.bytes += l.size() + 2;
    return set;
}

const LineSet& Lines(Edition edition) {
    static const LineSet sets[] = {MakeLines(kEditions[0], 10), MakeLines(kEditions[1], 11)};
    return sets[EditionIndex(edition)];
}

Edition EditionArg(const benchmark::State& state) { return state.range(0) == 10 ? Edition::V10 : Edition::V11; }

void BM_ParseActionLine(benchmark::State& state) {
    const Edition edition = EditionArg(state);
    const LineSet& set = Lines(edition);
    ScriptAction action;
    for (auto _ : state) {
        for (const std::string& line : set.lines) {
            benchmark::DoNotOptimize(ParseActionLine(line, edition, action));
            benchmark::DoNotOptimize(action);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * set.bytes));
}
BENCHMARK(BM_ParseActionLine)->Arg(11)->Arg(10);

// As loading does it: each action appended to the record's list.
void BM_AddActionFromLine(benchmark::State& state) {
    const Edition edition = EditionArg(state);
    const LineSet& set = Lines(edition);
    CScript script(edition);
    for (auto _ : state) {
        for (const std::string& line : set.lines) script.AddActionFromLine(line);
        benchmark::DoNotOptimize(script.m_actions.back());
        script.m_actions.clear();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * set.bytes));
}
BENCHMARK(BM_AddActionFromLine)->Arg(11);

// Baseline: the same lines read the way a literal port of the format would,
// with the C runtime's scanner and a substring search of the keyword list.
bool ScanfParse(const char* line, ScriptAction& out) {
    static const std::string upper = [] {
        std::string s = KeywordList(Edition::V11);
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    }();
    char word[256];
    if (std::sscanf(line, "%255s", word) != 1) return false;
    for (char* p = word; *p; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    const char* found = std::strstr(upper.c_str(), word);
    if (!found) return false;
    int index = -1;
    for (const char* p = upper.c_str(); p < found; ++p) index += *p == '\n';
    ScriptAction a;
    a.kind = index;
    a.category = CategoryOfKind(index);
    switch (a.category) {
        case CategoryKey:
        case CategoryMove:
            std::sscanf(line, "%*s %d %d", &a.param1, &a.param2);
            break;
        case CategoryButton:
        case CategoryDelay:
            std::sscanf(line, "%*s %d", &a.param1);
            break;
        case CategoryText:
            if (std::strlen(line) > 10) a.text = line + 10;
            break;
        default:
            return false;
    }
    out = a;
    return true;
}

void BM_ParseActionLine_ScanfBaseline(benchmark::State& state) {
    const LineSet& set = Lines(Edition::V11);
    ScriptAction action;
    for (auto _ : state) {
        for (const std::string& line : set.lines) {
            benchmark::DoNotOptimize(ScanfParse(line.c_str(), action));
            benchmark::DoNotOptimize(action);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * set.bytes));
}
BENCHMARK(BM_ParseActionLine_ScanfBaseline);

// A folder of saved scripts of 20 actions each, removed at exit. The files sit
// in the page cache after the first pass, so this measures the loader, not
// the disk.
class ScriptFolder {
public:
    static constexpr int kFiles = 256;

    ScriptFolder() {
        std::random_device rd;
        do {
            dir_ = fs::temp_directory_path() / ("tarvix-bench-" + std::to_string(rd()));
        } while (!fs::create_directory(dir_));
        ActionSource source(7);
        for (int i = 0; i < kFiles; ++i) {
            CScript s(Edition::V11);
            s.SetProperties("\xB4\xFA\xB8\xD5 macro " + std::to_string(i), 116, 2, RepeatCount, 3);
            s.m_actions.clear();
            for (int a = 0; a < 20; ++a) s.m_actions.push_back(source.Next(Edition::V11));
            s.m_actions.push_back(ScriptAction::EndMarker());
            s.m_fileName = "bench" + std::to_string(i) + ".txt";
            if (!s.Save(folder())) std::abort();
            names_.push_back(s.m_fileName);
            texts_.push_back(s.SerializedText());
            bytes_ += texts_.back().size();
        }
    }
    ~ScriptFolder() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string folder() const { return dir_.string() + "/"; }
    const std::vector<std::string>& names() const { return names_; }
    const std::vector<std::string>& texts() const { return texts_; }
    size_t bytes() const { return bytes_; }

private:
    fs::path dir_;
    std::vector<std::string> names_;
    std::vector<std::string> texts_;
    size_t bytes_ = 0;
};

const ScriptFolder& Scripts() {
    static const ScriptFolder folder;
    return folder;
}

void BM_LoadScriptFile(benchmark::State& state) {
    const ScriptFolder& scripts = Scripts();
    const std::string folder = scripts.folder();
    for (auto _ : state) {
        for (const std::string& name : scripts.names()) {
            CScript s(Edition::V11);
            s.Load(folder, name);
            benchmark::DoNotOptimize(s.m_actions.size());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * scripts.names().size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scripts.bytes()));
}
BENCHMARK(BM_LoadScriptFile);

// Baseline: only reading the same files' bytes, the floor under any loader.
void BM_ReadWholeFile_Baseline(benchmark::State& state) {
    const ScriptFolder& scripts = Scripts();
    const std::string folder = scripts.folder();
    std::string text;
    for (auto _ : state) {
        for (const std::string& name : scripts.names()) {
            benchmark::DoNotOptimize(ReadWholeFile(folder + name, text));
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * scripts.names().size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scripts.bytes()));
}
BENCHMARK(BM_ReadWholeFile_Baseline);

// The seven keys a script's record takes from its file.
void BM_ProfileDocumentParse(benchmark::State& state) {
    const ScriptFolder& scripts = Scripts();
    for (auto _ : state) {
        for (const std::string& text : scripts.texts()) {
            const ProfileDocument doc(text);
            benchmark::DoNotOptimize(doc.GetInt("General", "Enable", 1));
            benchmark::DoNotOptimize(doc.GetString("General", "Description", ""));
            benchmark::DoNotOptimize(doc.GetInt("General", "BeginHotkey", 123));
            benchmark::DoNotOptimize(doc.GetInt("General", "BeginHotkeyMod", 0));
            benchmark::DoNotOptimize(doc.GetInt("General", "RunOnce", 1));
            benchmark::DoNotOptimize(doc.GetInt("Repeat", "Type", 0));
            benchmark::DoNotOptimize(doc.GetInt("Repeat", "Number", 1));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scripts.bytes()));
}
BENCHMARK(BM_ProfileDocumentParse);

// Baseline: only finding the line ends, the least any reader of the text
// must do.
void BM_FindLineEnds_Baseline(benchmark::State& state) {
    const ScriptFolder& scripts = Scripts();
    for (auto _ : state) {
        for (const std::string& text : scripts.texts()) {
            size_t lines = 0;
            for (const char* p = text.data(), *end = p + text.size();
                 (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))) != nullptr; ++p)
                ++lines;
            benchmark::DoNotOptimize(lines);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scripts.bytes()));
}
BENCHMARK(BM_FindLineEnds_Baseline);

// Toggling a script on or off rewrites one key of its file.
void BM_ProfileDocumentSetString(benchmark::State& state) {
    const ScriptFolder& scripts = Scripts();
    int flip = 0;
    for (auto _ : state) {
        for (const std::string& text : scripts.texts()) {
            ProfileDocument doc(text);
            doc.SetString("General", "Enable", (flip ^= 1) ? "0" : "1");
            benchmark::DoNotOptimize(doc.Text().data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * scripts.bytes()));
}
BENCHMARK(BM_ProfileDocumentSetString);

// Prints, after the usual table, each measurement as a ratio to its baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            auto [it, fresh] = seconds_.emplace(run.benchmark_name(), seconds);
            if (!fresh && seconds < it->second) it->second = seconds;  // best of repetitions
            const auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end()) rates_[run.benchmark_name()] = bytes->second.value;
        }
    }

    void PrintRatios() const {
        std::printf("\nRatios within this run (baseline time / measured time, higher is faster):\n");
        Ratio("BM_ParseActionLine/11", "BM_ParseActionLine_ScanfBaseline", "action lines vs sscanf + strstr");
        Ratio("BM_LoadScriptFile", "BM_ReadWholeFile_Baseline", "CScript::Load vs reading the bytes only");
        Ratio("BM_ProfileDocumentParse", "BM_FindLineEnds_Baseline", "profile parse + 7 reads vs finding line ends");
        const auto parse = rates_.find("BM_ParseActionLine/11");
        if (parse != rates_.end())
            std::printf("  action line parsing: %.0f MB/s (goal: at least 100 MB/s)\n", parse->second / 1e6);
    }

private:
    void Ratio(const std::string& measured, const std::string& baseline, const char* what) const {
        const auto m = seconds_.find(measured);
        const auto b = seconds_.find(baseline);
        if (m == seconds_.end() || b == seconds_.end()) return;
        std::printf("  %-48s %8.3f\n", what, b->second / m->second);
    }

    std::map<std::string, double> seconds_;
    std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
