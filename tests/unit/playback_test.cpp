// The run loop against a recording input sink and a virtual clock.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <tuple>

#include "extended_keys.h"
#include "playback_engine.h"
#include "test_support.h"

namespace tarvix {
namespace {

using testing::A;
using testing::Recorder;
using Events = std::vector<std::string>;

// With the start hotkey's modifiers, still held when the run begins, and in
// one window mode when there is a target's title.
PlaybackJob Job(std::vector<ScriptAction> steps, uint16_t type = RepeatCount, uint32_t number = 1, uint16_t mods = 0,
                const char* target = nullptr) {
    PlaybackJob job;
    steps.push_back(ScriptAction::EndMarker());
    job.steps = std::move(steps);
    job.repeatType = type;
    job.repeatNumber = number;
    job.hotkeyModifiers = mods;
    job.oneWindow = target != nullptr;
    job.targetTitle = target ? target : "";
    return job;
}

Events Play(const PlaybackJob& job, Recorder& r, RunResult expected = RunResult::Completed) {
    PlaybackPorts ports = r.Ports();
    EXPECT_EQ(PlayJob(job, ports), expected);
    return r.events;
}

TEST(PlaybackKinds, KeysWithAnExtendedFormGoOutWithTheE0Prefix) {
    // Layouts that drop the prefix and layouts that give it alike; their
    // keypad and left-side twins, and keys of one form, as the layout has them.
    const std::tuple<uint8_t, uint16_t, uint16_t> cases[] = {
        {0x21, 0x49, 0xE049}, {0x28, 0x50, 0xE050}, {0x2E, 0x53, 0xE053}, {0xA3, 0xE01D, 0xE01D},
        {0xA5, 0x38, 0xE038}, {0x6F, 0x35, 0xE035}, {0x90, 0x45, 0xE045}, {0x5D, 0x5D, 0xE05D},
        {0xAD, 0x20, 0xE020}, {0x64, 0x4B, 0x4B},   {0x11, 0x1D, 0x1D},   {0xA4, 0x38, 0x38},
        {0x0D, 0x1C, 0x1C},   {0x13, 0x45, 0x45},   {0x6E, 0x53, 0x53},
    };
    for (const auto& [vk, layout, sent] : cases) EXPECT_EQ(KeyScanCode(vk, layout), sent) << std::hex << int{vk};

    // On press and release, the release of a stopped run and of a hotkey
    // modifier the user still holds.
    Recorder r;
    r.layout = {{0x25, 0x4B}, {0xA3, 0xE01D}, {0xA5, 0x38}};
    r.heldUntil[0xA5] = 60000;
    r.stopAt = 2100;
    EXPECT_EQ(Play(Job({A(KindKeyPress, 0x25, 1), A(KindKeyDown, 0xA3, 1), A(KindDelay, 500)}, RepeatCount, 1, ModAlt),
                   r, RunResult::Stopped),
              (Events{"2000 key 165/e56 up", "2000 key 37/e75 down", "2050 key 37/e75 up",
                                "2050 key 163/e29 down", "2100 key 163/e29 up"}));
}

// Keys on their scan codes, held 50 ms; a double click's two clicks 50 ms
// apart; repetitions of 0, end markers and unknown kinds play nothing. Text
// goes on keys where a key with at most Shift types it: "H" needs Shift,
// "!" is Shift+1, "中" (A4 A4) has no key, nor a lead byte ending the text,
// nor '@', which is AltGr+Q (Ctrl and Alt would reach the target as
// shortcuts); with Caps Lock on letters go as characters.
TEST(PlaybackKinds, EachKindPlaysItsEvents) {
    const std::tuple<bool, std::vector<ScriptAction>, Events> cases[] = {
        {false, {A(KindKeyPress, 65, 2), A(KindKeyDown, 17, 1), A(KindKeyUp, 0x10041, 1)},
         {"0 key 65/1065 down", "50 key 65/1065 up", "50 key 65/1065 down", "100 key 65/1065 up",
          "100 key 17/1017 down", "100 key 65/1065 up"}},
        {false, {A(KindLeftClick, 1), A(KindRightClick, 1), A(KindLeftDown, 2), A(KindLeftUp, 1), A(KindRightDown, 1),
                 A(KindRightUp, 1), A(KindLeftDoubleClick, 1)},
         {"0 left down", "50 left up", "50 right down", "100 right up", "100 left down", "100 left down",
          "100 left up", "100 right down", "100 right up", "100 left down", "150 left up", "200 left down",
          "250 left up"}},
        {false, {A(KindMiddleClick, 2), A(KindMiddleDown, 1), A(KindMiddleUp, 1), A(KindX1Click, 1), A(KindX1Down, 1),
                 A(KindX1Up, 1), A(KindX2Click, 1), A(KindX2Down, 1), A(KindX2Up, 1), A(KindWheel, -360),
                 A(KindHWheel, 40), A(KindWheel, 0)},
         {"0 middle down", "50 middle up", "50 middle down", "100 middle up", "100 middle down", "100 middle up",
          "100 x1 down", "150 x1 up", "150 x1 down", "150 x1 up", "150 x2 down", "200 x2 up", "200 x2 down",
          "200 x2 up", "200 wheel -360", "200 hwheel 40"}},
        {false, {A(KindKeyPress, 65, 0), A(KindKeyDown, 65, 0), A(KindLeftClick, 0), A(KindLeftDoubleClick, 0),
                 A(KindRightUp, 0), A(99), A(-1), ScriptAction::EndMarker(), A(KindKeyPress, 67, 1)},
         {"0 key 67/1067 down", "50 key 67/1067 up"}},
        {false, {A(KindSayString, 0, 0, "Hi!\xA4\xA4@\xA4")},
         {"0 key 16/0 down", "0 key 72/0 down", "50 key 72/0 up", "50 key 16/0 up", "50 key 73/0 down",
          "100 key 73/0 up", "100 key 16/0 down", "100 key 49/0 down", "150 key 49/0 up", "150 key 16/0 up",
          "150 char \xA4\xA4 down", "200 char \xA4\xA4 up", "200 char @ down", "250 char @ up",
          "250 char \xA4 down", "300 char \xA4 up"}},
        {true, {A(KindSayString, 0, 0, "a H.!")},
         {"0 char a down", "50 char a up", "50 key 32/0 down", "100 key 32/0 up", "100 char H down", "150 char H up",
          "150 key 190/0 down", "200 key 190/0 up", "200 key 16/0 down", "200 key 49/0 down", "250 key 49/0 up",
          "250 key 16/0 up"}},
    };
    for (const auto& [capsLock, steps, played] : cases) {
        Recorder r;
        r.capsLock = capsLock;
        EXPECT_EQ(Play(Job(steps), r), played);
    }
    // Beyond what one wheel message holds, whole notches each and the rest last.
    Recorder big;
    Play(Job({A(KindWheel, 70000), A(KindHWheel, INT32_MIN)}), big);
    EXPECT_EQ(Events(big.events.begin(), big.events.begin() + 3),
              (Events{"0 wheel 32640", "0 wheel 32640", "0 wheel 4720"}));
    EXPECT_EQ(big.events.size(), 3u + 65794u);
    EXPECT_EQ(big.events.back(), "0 hwheel -128");
}

// MoveIn finds the window in front when it plays, not when the run began:
// the window moved (and another came in front) between the two steps.
TEST(PlaybackKinds, MovesAndMoveInFromTheClientCornerOfTheWindowInFrontAtThatStep) {
    Recorder r;
    r.clientOrigin = DesktopPoint{300, 200};
    r.onPoll = [](Recorder& rec) {
        if (rec.now >= 100) rec.clientOrigin = DesktopPoint{-1917, -1058};
        if (rec.now >= 200) rec.clientOrigin.reset();
    };
    EXPECT_EQ(Play(Job({A(KindMoveIn, 10, 20), A(KindMoveTo, -1280, 1439), A(KindMoveR, -10, 5), A(KindDelay, 100),
                        A(KindMoveIn, 10, 20), A(KindDelay, 100), A(KindMoveIn, -4, 7)}), r),
              (Events{"0 move 310,220", "0 move -1280,1439", "0 by -10,5", "100 move -1907,-1038", "200 move -4,7"}));
    // Sums beyond 32 bits stay off the desktop on their own side.
    EXPECT_EQ(PointInFront(2147483647, 0, DesktopPoint{100, 0}).x, 2147483647);
    EXPECT_EQ(PointInFront(0, -2147483647, DesktopPoint{0, -100}).y, INT32_MIN);
}

// A count plays that many passes, 0 or 1 one, read unsigned (-1 is
// 4294967295, still playing at 1000 steps). A seconds run ends after the
// pass that reaches the duration, in whole seconds from the first reading;
// passes that play nothing wait a moment each. Until-stop and unknown types
// run until the stop. A run that missed its end would spin for ever on a
// clock that only moves when told: the stop after 5000 polls shows it at once.
TEST(PlaybackRepeat, CountsSecondsAndUntilTheStop) {
    const std::tuple<uint16_t, uint32_t, std::vector<ScriptAction>, uint64_t, size_t, uint64_t> cases[] = {
        {RepeatCount, 0, {A(KindMoveR, 1, 0)}, 0, 1, 0},
        {RepeatCount, 1, {A(KindMoveR, 1, 0)}, 0, 1, 0},
        {RepeatCount, 3, {A(KindMoveR, 1, 0)}, 0, 3, 0},
        {RepeatCount, 4294967295u, {A(KindMoveR, 1, 0)}, 0, 1000, 0},
        // Passes end at 1399, 1799, 2199: whole seconds 1, 1, 2.
        {RepeatSeconds, 2, {A(KindDelay, 400), A(KindMoveR, 1, 0)}, 999, 3, 2199},
        {RepeatSeconds, 0, {A(KindMoveR, 1, 0)}, 0, 1, 0},
        {RepeatSeconds, 1, {}, 0, 0, 1000},
        {RepeatUntilStop, 1, {A(KindMoveR, 1, 0)}, 0, 1000, 0},
        {7, 1, {A(KindMoveR, 1, 0)}, 0, 1000, 0},
    };
    for (const auto& [type, number, steps, start, played, end] : cases) {
        Recorder r;
        r.now = start;
        r.onPoll = [](Recorder& rec) { rec.stop = rec.polls > 5000 || rec.events.size() >= 1000; };
        Play(Job(steps, type, number), r, played == 1000 ? RunResult::Stopped : RunResult::Completed);
        EXPECT_EQ(r.events.size(), played) << type << " " << number;
        EXPECT_EQ(r.now, end) << type << " " << number;
    }
}

TEST(PlaybackStop, PolledBeforeEveryStepAndTheRunClearsItsScriptsFlag) {
    Recorder r;
    r.onPoll = [](Recorder& rec) { rec.stop = rec.polls == 3; };
    PlaybackJob job = Job({A(KindMoveR, 1, 0), A(KindMoveR, 2, 0), A(KindMoveR, 3, 0)});
    job.script = std::make_shared<RunFlag>();
    job.script->Set();
    EXPECT_EQ(Play(job, r, RunResult::Stopped), (Events{"0 by 1,0", "0 by 2,0"}));
    EXPECT_FALSE(job.script->IsSet());
}

// Every wait of a run is a wait on the stop signal: the stop ends it at the
// moment it comes, not after it; nothing after it plays. Delay -1 waits all
// of its 4294967295 milliseconds.
TEST(PlaybackStop, EndsEveryKindOfWaitWhenItComes) {
    const ScriptAction then = A(KindMoveR, 1, 0);
    const std::tuple<const char*, std::vector<ScriptAction>, uint16_t> waits[] = {
        {"Delay", {A(KindDelay, 10000), then}, 0},
        {"Delay -1", {A(KindDelay, -1), then}, 0},
        {"KeyPress hold", {A(KindKeyPress, 65, 1), then}, 0},
        {"LeftClick hold", {A(KindLeftClick, 1), then}, 0},
        {"RightClick hold", {A(KindRightClick, 1), then}, 0},
        {"LeftDoubleClick holds", {A(KindLeftDoubleClick, 1), then}, 0},
        {"SayString hold", {A(KindSayString, 0, 0, "ab"), then}, 0},
        {"the hotkey's Ctrl still held", {then}, ModCtrl},
        {"the pause of an empty pass", {}, 0},
    };
    for (const auto& [name, steps, mods] : waits)
        for (uint64_t stopAt : {1u, 25u, 49u}) {  // within the first wait
            Recorder r;
            r.heldUntil[0xA2] = 60000;
            r.stopAt = stopAt;
            Play(Job(steps, RepeatUntilStop, 1, mods), r, RunResult::Stopped);
            EXPECT_EQ(r.now, stopAt) << name;
            for (const std::string& e : r.events) EXPECT_EQ(e.find("by"), std::string::npos) << name;
        }
    Recorder longest;
    EXPECT_EQ(Play(Job({A(KindDelay, -1), then}), longest), (Events{"4294967295 by 1,0"}));
}

TEST(PlaybackStop, LooksBetweenRepetitions) {
    // Four billion repetitions with no wait between them still end.
    for (int32_t kind : {KindKeyDown, KindKeyUp, KindLeftDown, KindRightUp}) {
        Recorder r;
        r.onPoll = [](Recorder& rec) { rec.stop = rec.events.size() >= 1000; };
        Play(Job({A(kind, kind <= KindKeyUp ? 65 : -1, -1)}), r, RunResult::Stopped);
        EXPECT_LE(r.events.size(), 1001u) << kind;
    }
}

// When the user stops the run (never: 0), its steps, what it played: what
// the run holds is let go of at the stop, last pressed first, each once.
TEST(PlaybackRelease, AStoppedRunLetsGoOfWhatItHolds) {
    const std::tuple<const char*, uint64_t, std::vector<ScriptAction>, Events> cases[] = {
        {"last pressed first", 2000,
         {A(KindKeyDown, 16, 1), A(KindLeftDown, 1), A(KindKeyPress, 65, 1), A(KindKeyDown, 17, 2),
          A(KindRightDown, 1), A(KindKeyDown, 16, 1), A(KindDelay, 5000), A(KindKeyUp, 16, 1), A(KindLeftUp, 1)},
         {"0 key 16/1016 down", "0 left down", "0 key 65/1065 down", "50 key 65/1065 up", "50 key 17/1017 down",
          "50 key 17/1017 down", "50 right down", "50 key 16/1016 down", "2000 right up", "2000 key 17/1017 up",
          "2000 left up", "2000 key 16/1016 up"}},
        {"what the script released is not released again", 70,
         {A(KindKeyDown, 16, 1), A(KindLeftDown, 1), A(KindLeftUp, 1), A(KindKeyUp, 16, 1), A(KindRightClick, 1),
          A(KindDelay, 100)},
         {"0 key 16/1016 down", "0 left down", "0 left up", "0 key 16/1016 up", "0 right down", "50 right up"}},
        {"middle and side buttons as the others", 100,
         {A(KindX2Down, 1), A(KindMiddleDown, 1), A(KindX1Down, 1), A(KindX2Up, 1), A(KindDelay, 500)},
         {"0 x2 down", "0 middle down", "0 x1 down", "0 x2 up", "100 x1 up", "100 middle up"}},
        {"in the middle of a key press", 20, {A(KindKeyDown, 17, 1), A(KindKeyPress, 65, 1)},
         {"0 key 17/1017 down", "0 key 65/1065 down", "20 key 65/1065 up", "20 key 17/1017 up"}},
        {"typing A, which is Shift and A", 10, {A(KindSayString, 0, 0, "A")},
         {"0 key 16/0 down", "0 key 65/0 down", "10 key 65/0 up", "10 key 16/0 up"}},
        {"typing a character with no key", 10, {A(KindSayString, 0, 0, "\xA4\xA4")},
         {"0 char \xA4\xA4 down", "10 char \xA4\xA4 up"}},
        {"in a double click", 120, {A(KindLeftDoubleClick, 1)},
         {"0 left down", "50 left up", "100 left down", "120 left up"}},
        {"a completed run leaves what its script left down", 0,
         {A(KindKeyDown, 16, 1), A(KindLeftDown, 1), A(KindRightDown, 1)},
         {"0 key 16/1016 down", "0 left down", "0 right down"}},
    };
    for (const auto& [what, stopAt, steps, played] : cases) {
        Recorder r;
        if (stopAt) r.stopAt = stopAt;
        EXPECT_EQ(Play(Job(steps), r, stopAt ? RunResult::Stopped : RunResult::Completed), played) << what;
    }
}

// One-window runs: the title in front at the start, the poll from which
// "Notepad" is in front instead (0: never), passes, steps, what plays. Steps
// play only while the target is in front, its title compared whole and
// case-sensitive (no window in front matches an empty target); a skipped
// pass still counts and pauses 5 ms, and what plays after it is timed from
// when it plays. The releases of what the run holds play whatever is in
// front (17 was never pressed, a second RightUp or MiddleUp finds nothing).
TEST(PlaybackOneWindow, StepsPlayOnlyWhileTheTargetIsInFrontButReleasesAlways) {
    const std::tuple<const char*, int, uint32_t, std::vector<ScriptAction>, Events> cases[] = {
        {"Other", 6, 2, {A(KindMoveR, 1, 0), A(KindDelay, 10), A(KindMoveR, 2, 0)}, {"15 by 2,0"}},
        {"notepad", 0, 1, {A(KindMoveR, 1, 0)}, {}},
        {"Notepad ", 0, 1, {A(KindMoveR, 1, 0)}, {}},
        {"Note", 0, 1, {A(KindMoveR, 1, 0)}, {}},
        {"Other", 7, 4, {A(KindKeyPress, 65, 1), A(KindDelay, 20)},
         {"10 key 65/1065 down", "60 key 65/1065 up", "80 key 65/1065 down", "130 key 65/1065 up"}},
        {"Notepad", -4, 1,
         {A(KindKeyDown, 16, 1), A(KindLeftDown, 1), A(KindRightDown, 1), A(KindKeyUp, 16, 1), A(KindKeyUp, 17, 1),
          A(KindLeftUp, 1), A(KindKeyPress, 65, 1), A(KindRightUp, 1), A(KindRightUp, 1), A(KindLeftDown, 1)},
         {"0 key 16/1016 down", "0 left down", "0 right down", "0 key 16/1016 up", "0 left up", "0 right up"}},
        {"Notepad", -4, 1,
         {A(KindMiddleDown, 1), A(KindX1Down, 1), A(KindX2Down, 1), A(KindX2Up, 1), A(KindX1Up, 1), A(KindMiddleUp, 1),
          A(KindMiddleUp, 1), A(KindWheel, 120)},
         {"0 middle down", "0 x1 down", "0 x2 down", "0 x2 up", "0 x1 up", "0 middle up"}},
    };
    for (const auto& [title, poll, passes, steps, played] : cases) {
        Recorder r;
        r.title = title;
        // A negative poll: "Other" is in front from that one on.
        r.onPoll = [poll = poll](Recorder& rec) {
            if (poll != 0 && rec.polls == std::abs(poll)) rec.title = poll > 0 ? "Notepad" : "Other";
        };
        EXPECT_EQ(Play(Job(steps, RepeatCount, passes, 0, "Notepad"), r), played) << title << " " << poll;
    }
    Recorder none;
    EXPECT_EQ(Play(Job({A(KindMoveR, 1, 0)}, RepeatCount, 1, 0, ""), none), (Events{"0 by 1,0"}));
}

// Each wait ends where the schedule from the run's start puts it, so waits
// that each end 2 ms late do not add up over 400 passes of 70 ms.
TEST(PlaybackSchedule, LateWakeUpsDoNotAddUp) {
    Recorder r;
    r.overrunMs = 2;
    Play(Job({A(KindKeyPress, 65, 1), A(KindDelay, 20)}, RepeatCount, 400), r);
    ASSERT_EQ(r.events.size(), 800u);
    EXPECT_EQ((Events{r.events[2], r.events[798], r.events[799]}),
              (Events{"72 key 65/1065 down", "27932 key 65/1065 down", "27983 key 65/1065 up"}))
        << "a hold is never under 49 ms";
}

// A step that comes late is made up by the waits after it, up to 20 ms; later
// than that, the schedule starts again and the wait keeps its whole length.
// A hold is never made shorter than 49 ms; the Delay after it makes up the rest.
TEST(PlaybackSchedule, CatchesUpTwentyMillisecondsAndStartsAgainBeyond) {
    const std::tuple<int, uint32_t, std::vector<ScriptAction>, Events> cases[] = {
        {1, 20, {A(KindMoveR, 1, 0), A(KindDelay, 100), A(KindMoveR, 2, 0), A(KindKeyPress, 65, 1)},
         {"20 by 1,0", "100 by 2,0", "100 key 65/1065 down", "150 key 65/1065 up"}},
        {1, 21, {A(KindMoveR, 1, 0), A(KindDelay, 100), A(KindMoveR, 2, 0)}, {"21 by 1,0", "121 by 2,0"}},
        {1, 500, {A(KindMoveR, 1, 0), A(KindDelay, 100), A(KindMoveR, 2, 0)}, {"500 by 1,0", "600 by 2,0"}},
        {2, 10, {A(KindDelay, 10), A(KindKeyPress, 65, 1), A(KindDelay, 20), A(KindMoveR, 1, 0)},
         {"20 key 65/1065 down", "69 key 65/1065 up", "80 by 1,0"}},
    };
    for (const auto& [atPoll, late, steps, played] : cases) {
        Recorder r;
        r.onPoll = [atPoll = atPoll, late = late](Recorder& rec) { if (rec.polls == atPoll) rec.now += late; };
        EXPECT_EQ(Play(Job(steps), r), played) << late;
    }
}

TEST(PlaybackSchedule, SpeedScalesDelaysButNotHolds) {
    // The hold ends at 50, the Delay 400 scaled after it; out of range: the bound.
    const std::pair<uint32_t, const char*> cases[] = {{100, "450 by 1,0"},  {200, "250 by 1,0"}, {25, "1650 by 1,0"},
        {300, "184 by 1,0"}, {1000, "90 by 1,0"}, {10, "4050 by 1,0"}, {5000, "90 by 1,0"}, {0, "4050 by 1,0"}};
    for (const auto& [speed, then] : cases) {
        Recorder r;
        PlaybackJob job = Job({A(KindKeyPress, 65, 1), A(KindDelay, 400), A(KindMoveR, 1, 0)});
        job.speed = speed;
        EXPECT_EQ(Play(job, r), (Events{"0 key 65/1065 down", "50 key 65/1065 up", then})) << speed;
    }
}

// The first step waits until the hotkey's own modifiers are up; held beyond
// the wait they are released for the run; no key of the user's is touched.
TEST(PlaybackHeldModifiers, TheFirstStepWaitsUntilTheHotkeysModifiersAreUp) {
    const std::tuple<const char*, std::map<uint8_t, uint32_t>, uint16_t, uint32_t, Events> cases[] = {
        {"let go before the run begins: plays at once", {{0xA2, 0}}, ModCtrl, 1,
         {"0 key 65/1065 down", "50 key 65/1065 up"}},
        {"right Ctrl let go 300 ms later: waits for it", {{0xA3, 300}}, ModCtrl, 1,
         {"300 key 65/1065 down", "350 key 65/1065 up"}},
        {"Shift held for a Ctrl hotkey is not waited for", {{0xA0, 900}}, ModCtrl, 1,
         {"0 key 65/1065 down", "50 key 65/1065 up"}},
        {"a hotkey without modifiers starts whatever is held", {{0xA2, 900}}, 0, 1,
         {"0 key 65/1065 down", "50 key 65/1065 up"}},
        {"held on and on", {{0xA4, 60000}, {0xA0, 60000}}, ModAlt | ModShift, 1,
         {"2000 key 160/1160 up", "2000 key 164/1164 up", "2000 key 65/1065 down", "2050 key 65/1065 up"}},
        {"later passes do not wait again", {{0xA2, 100}}, ModCtrl, 2,
         {"100 key 65/1065 down", "150 key 65/1065 up", "150 key 65/1065 down", "200 key 65/1065 up"}},
    };
    for (const auto& [why, held, mods, passes, played] : cases) {
        Recorder r;
        r.heldUntil = held;
        EXPECT_EQ(Play(Job({A(KindKeyPress, 65, 1)}, RepeatCount, passes, mods), r), played) << why;
    }
    // Keys the script holds itself still combine.
    Recorder r;
    r.heldUntil[0xA2] = 100;
    EXPECT_EQ(Play(Job({A(KindKeyDown, 17, 1), A(KindKeyPress, 65, 1), A(KindKeyUp, 17, 1)}, RepeatCount, 1, ModCtrl), r),
              (Events{"100 key 17/1017 down", "100 key 65/1065 down", "150 key 65/1065 up", "150 key 17/1017 up"}));
}

// With MOUSEEVENTF_VIRTUALDESK the system maps n to origin + n * extent /
// 65536, rounded down, across the whole virtual desktop: every pixel of every
// monitor, those left of or above the primary (negative) included, is reached.
TEST(PlaybackMove, NormalizedCoordinatesLandOnEveryPixel) {
    // One monitor; a second right of the primary; left of it; a 150 % laptop
    // (2880 pixels) left of a 1920 monitor; one above (vertical axis).
    for (const auto& [origin, extent] : {std::pair(0, 768), std::pair(0, 1080), std::pair(0, 3840), std::pair(0, 2048),
                                         std::pair(-1024, 2048), std::pair(-2880, 4800), std::pair(-1080, 2160)}) {
        for (int32_t p = origin; p < origin + extent; ++p) {
            const int64_t n = NormalizedCoordinate(p, origin, extent);
            ASSERT_TRUE(n >= 0 && n <= 65535) << n;
            ASSERT_EQ(origin + n * extent / 65536, p) << origin << " " << p;
        }
    }
    EXPECT_EQ(NormalizedCoordinate(-5000, -1280, 3200), 0) << "clamped to the desktop";
    EXPECT_EQ(NormalizedCoordinate(99999, 0, 1024), 65535);
    EXPECT_EQ(NormalizedCoordinate(5, 0, 0), 0);
}

}  // namespace
}  // namespace tarvix
