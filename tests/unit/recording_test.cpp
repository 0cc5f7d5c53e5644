// What a recording keeps of the reported input, the actions it becomes, and
// the proof of both: the actions played on a virtual clock give back the
// recorded events, in order, at the recorded gaps.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "hook_fakes.h"
#include "input_recorder.h"
#include "playback_fakes.h"
#include "record_conversion.h"
#include "recording.h"

namespace tarvix {
namespace {

constexpr uint8_t kA = 0x41, kB = 0x42, kC = 0x43, kLCtrl = 0xA2, kLShift = 0xA0;
const Hotkey kCtrlShiftA{kA, 3};

RecordedInput Key(bool up, uint8_t vk, uint64_t ms) {
    RecordedInput e;
    e.kind = up ? InputKind::KeyUp : InputKind::KeyDown;
    e.vk = vk;
    e.timeUs = ms * 1000;
    return e;
}
RecordedInput Dn(uint8_t vk, uint64_t ms) { return Key(false, vk, ms); }
RecordedInput Up(uint8_t vk, uint64_t ms) { return Key(true, vk, ms); }

RecordedInput Mouse(InputKind kind, int32_t x, int32_t y, uint64_t ms) {
    RecordedInput e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.timeUs = ms * 1000;
    return e;
}
RecordedInput Move(int32_t x, int32_t y, uint64_t ms) { return Mouse(InputKind::Move, x, y, ms); }
RecordedInput Origin(int32_t x, int32_t y, uint64_t ms) { return Mouse(InputKind::WindowOrigin, x, y, ms); }

std::vector<RecordedInput> Record(const std::vector<RecordedInput>& input, Hotkey stop = kCtrlShiftA,
                                  std::vector<uint8_t> downAtStart = {}, bool path = false) {
    Recording recording(stop, downAtStart, path);
    for (const RecordedInput& e : input) recording.Add(e);
    return recording.Finish();
}

// Actions as script lines, one text, for readable comparisons.
std::string Lines(const std::vector<ScriptAction>& actions) {
    std::string text;
    for (const ScriptAction& a : actions) text += FormatActionLine(a, Edition::V11) + "\n";
    return text;
}

std::string Convert(const std::vector<RecordedInput>& events, bool timing, bool path = false,
                    bool windowRelative = false) {
    RecordOptions options;
    options.keepTiming = timing;
    options.mousePath = path;
    options.windowRelative = windowRelative;
    return Lines(ConvertRecording(events, options));
}

RecordedInput Turn(InputKind wheel, int16_t amount, int32_t x, int32_t y, uint64_t ms) {
    RecordedInput e = Mouse(wheel, x, y, ms);
    e.wheel = amount;
    return e;
}

std::string Describe(const RecordedInput& e);
bool IsKeyKind(InputKind kind) { return kind == InputKind::KeyDown || kind == InputKind::KeyUp; }

// Pointer events and window origins with their place and millisecond.
std::vector<std::string> Shown(const std::vector<RecordedInput>& events) {
    std::vector<std::string> shown;
    for (const RecordedInput& e : events) {
        const std::string place = " " + std::to_string(e.x) + "," + std::to_string(e.y);
        const std::string what =
            e.kind == InputKind::WindowOrigin ? "in" : e.kind == InputKind::Move ? "move" : Describe(e);
        shown.push_back(what + (IsKeyKind(e.kind) ? "" : place) + " " + std::to_string(e.timeUs / 1000));
    }
    return shown;
}

std::string Describe(const RecordedInput& e) {
    switch (e.kind) {
    case InputKind::KeyDown: return "key " + std::to_string(ScriptKeyOf(e.vk)) + " down";
    case InputKind::KeyUp: return "key " + std::to_string(ScriptKeyOf(e.vk)) + " up";
    case InputKind::LeftDown: return "left down";
    case InputKind::LeftUp: return "left up";
    case InputKind::RightDown: return "right down";
    case InputKind::RightUp: return "right up";
    case InputKind::MiddleDown: return "middle down";
    case InputKind::MiddleUp: return "middle up";
    case InputKind::X1Down: return "x1 down";
    case InputKind::X1Up: return "x1 up";
    case InputKind::X2Down: return "x2 down";
    case InputKind::X2Up: return "x2 up";
    case InputKind::Wheel: return "wheel " + std::to_string(e.wheel);
    case InputKind::HWheel: return "hwheel " + std::to_string(e.wheel);
    default: return "";
    }
}

std::vector<std::string> Described(const std::vector<RecordedInput>& events) {
    std::vector<std::string> out;
    for (const RecordedInput& e : events) out.push_back(Describe(e));
    return out;
}

// Plays the actions on the virtual clock: each key or button event with the
// millisecond it was played at, and the pointer's place at each button event.
struct Replayed {
    std::vector<std::string> events;
    std::vector<uint32_t> times;
};

Replayed Replay(const std::vector<ScriptAction>& actions, std::optional<DesktopPoint> windowInFront = {}) {
    testing::Recorder player;
    player.clientOrigin = windowInFront;
    PlaybackJob job;
    job.steps = actions;
    job.steps.push_back(ScriptAction::EndMarker());
    job.repeatNumber = 1;
    PlaybackPorts ports = player.Ports();
    PlayJob(job, ports);
    Replayed out;
    std::string place = "nowhere";
    for (const std::string& line : player.events) {
        std::istringstream in(line);
        uint32_t at = 0;
        std::string what, rest;
        in >> at >> what;
        std::getline(in, rest);
        if (what == "move") {
            place = rest.substr(1);
            continue;
        }
        if (what == "key") rest = rest.substr(0, rest.find('/')) + rest.substr(rest.find(' ', 1));
        out.events.push_back(what + rest + (what == "key" ? "" : " @" + place));
        out.times.push_back(at);
    }
    return out;
}

// --- What a recording keeps ---

// Keys held down as it starts, the input, what is kept (Ctrl+Shift+A stops).
TEST(Recording, KeepsTheWorkAndLeavesOutWhatWasHeldBeforeAndTheStopChord) {
    using K = InputKind;
    using Kept = std::vector<std::string>;
    const std::tuple<const char*, std::vector<uint8_t>, std::vector<RecordedInput>, Kept> cases[] = {
        {"auto-repeats are one key-down", {}, {Dn(kB, 0), Dn(kB, 500), Dn(kB, 530), Up(kB, 560)},
         {"key 66 down 0", "key 66 up 560"}},
        {"a key held at the start is left out until pressed again", {kB},
         {Dn(kB, 0), Up(kB, 10), Dn(kC, 20), Up(kC, 30), Dn(kB, 40), Up(kB, 50)},
         {"key 67 down 20", "key 67 up 30", "key 66 down 40", "key 66 up 50"}},
        {"the release of a button pressed before the start is left out", {},
         {Mouse(K::LeftUp, 5, 5, 0), Mouse(K::LeftDown, 9, 9, 10), Mouse(K::LeftUp, 9, 9, 20)},
         {"left down 9,9 10", "left up 9,9 20"}},
        {"the stop key with other modifiers is work", {}, {Dn(kLCtrl, 0), Dn(kA, 10), Up(kA, 20), Up(kLCtrl, 30)},
         {"key 17 down 0", "key 65 down 10", "key 65 up 20", "key 17 up 30"}},
        // Ctrl+C, then Shift+A with Ctrl still down: the Ctrl press was part
        // of the work, released at the stop; only Shift and A were the stop.
        {"a modifier held through the work", {}, {Dn(kLCtrl, 0), Dn(kC, 10), Up(kC, 20), Dn(kLShift, 100), Dn(kA, 110)},
         {"key 17 down 0", "key 67 down 10", "key 67 up 20", "key 17 up 110"}},
        // Another key let go of while the chord forms does not keep the
        // chord's first modifier (a lone Alt would open a menu every pass);
        // held through another key's press, or a button's release, it was work.
        {"a release while the chord forms", {},
         {Dn(kB, 0), Dn(kLCtrl, 10), Up(kB, 20), Dn(kLShift, 30), Move(5, 5, 35), Dn(kA, 40)},
         {"key 66 down 0", "key 66 up 20"}},
        {"a press while the modifier is held", {}, {Dn(kLCtrl, 0), Dn(kB, 10), Up(kB, 20), Dn(kLShift, 30), Dn(kA, 40)},
         {"key 17 down 0", "key 66 down 10", "key 66 up 20", "key 17 up 40"}},
        {"a button let go while it is held", {},
         {Mouse(K::LeftDown, 1, 1, 0), Dn(kLCtrl, 10), Mouse(K::LeftUp, 1, 1, 20), Dn(kLShift, 30), Dn(kA, 40)},
         {"left down 1,1 0", "key 17 down 10", "left up 1,1 20", "key 17 up 40"}},
        {"only the chord's own presses are left out, not an earlier one of its keys", {},
         {Dn(kLCtrl, 0), Up(kLCtrl, 50), Dn(kLCtrl, 100), Dn(kLShift, 120), Dn(kA, 140)},
         {"key 17 down 0", "key 17 up 50"}},
    };
    for (const auto& [what, heldAtStart, input, kept] : cases)
        EXPECT_EQ(Shown(Record(input, kCtrlShiftA, heldAtStart)), kept) << what;
}

TEST(Recording, StopChordEndsItAndIsLeftOut) {
    Recording recording(kCtrlShiftA, {}, false);
    EXPECT_EQ(recording.Add(Dn(kB, 0)), Recording::Outcome::Going);
    recording.Add(Up(kB, 40));
    recording.Add(Dn(kLCtrl, 100));
    recording.Add(Dn(kLShift, 120));
    recording.Add(Dn(kLShift, 400));  // a repeat while the chord forms
    EXPECT_EQ(recording.Add(Dn(kA, 450)), Recording::Outcome::Stopped);
    EXPECT_EQ(recording.Add(Dn(kC, 500)), Recording::Outcome::Stopped);
    const auto kept = recording.Finish();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].vk, kB);
}

TEST(Recording, ChordOfModifiersHeldSinceTheStartStops) {
    Recording recording(kCtrlShiftA, {kLCtrl, kLShift}, false);
    EXPECT_EQ(recording.Add(Dn(kA, 10)), Recording::Outcome::Stopped);
    EXPECT_TRUE(recording.Finish().empty());
}

// Last pressed, first released: a Ctrl-drag drops its copy before Ctrl goes up.
TEST(Recording, KeysAndButtonsStillHeldAreReleasedAtTheEndLastPressedFirst) {
    const auto kept = Record({Dn(kB, 0), Mouse(InputKind::RightDown, 7, 8, 5), Dn(kLCtrl, 10),
                              Mouse(InputKind::X1Down, 9, 9, 15), Mouse(InputKind::LeftDown, 20, 30, 20),
                              Move(99, 99, 30), Up(kB, 40), Dn(kLShift, 60), Dn(kA, 70)});
    EXPECT_EQ(Described(kept), (std::vector<std::string>{"key 66 down", "right down", "key 17 down", "x1 down",
                                                         "left down", "key 66 up", "left up", "x1 up",
                                                         "key 17 up", "right up"}));
    EXPECT_EQ(kept[6].x, 20);
    EXPECT_EQ(kept[6].timeUs, 70000u);
}

TEST(Recording, MiddleAndSideButtonsAndWheelsAreKeptOtherSideButtonsCounted) {
    Recording recording(kCtrlShiftA, {}, false);
    recording.Add(Mouse(InputKind::MiddleUp, 0, 0, 0));  // pressed before the start
    for (InputKind kind : {InputKind::MiddleDown, InputKind::MiddleUp, InputKind::X2Down, InputKind::X1Down,
                           InputKind::X1Up, InputKind::X2Up})
        recording.Add(Mouse(kind, 1, 2, 10));
    recording.Add(Turn(InputKind::Wheel, -120, 1, 2, 20));
    recording.Add(Turn(InputKind::HWheel, 0, 1, 2, 25));  // nothing to play
    recording.Add(Turn(InputKind::HWheel, 40, 1, 2, 30));
    recording.Add(Mouse(InputKind::OtherSideButton, 1, 2, 40));
    EXPECT_EQ(recording.leftOut().Total(), 1u);
    EXPECT_EQ(Described(recording.Finish()),
              (std::vector<std::string>{"middle down", "middle up", "x2 down", "x1 down", "x1 up", "x2 up",
                                        "wheel -120", "hwheel 40"}));
}

// The key state names Shift, Ctrl and Alt by both codes; the hook reports
// only the sided ones, so the generic one would never come up again.
TEST(Recording, ModifiersHeldAtTheStartAreTheHooksSidedKeys) {
    constexpr uint8_t kAlt = 0x12, kLAlt = 0xA4, kCtrl = 0x11;
    using Out = Recording::Outcome;
    const std::tuple<std::vector<uint8_t>, std::vector<RecordedInput>, Out> cases[] = {
        // Alt held as it starts and let go: Ctrl+Shift+A is the stop chord.
        {{kAlt, kLAlt}, {Dn(kLAlt, 0), Up(kLAlt, 50), Dn(kLCtrl, 100), Dn(kLShift, 110), Dn(kA, 120)}, Out::Stopped},
        // Alt still held: Alt+Ctrl+Shift+A is not.
        {{kAlt, kLAlt}, {Dn(kLCtrl, 100), Dn(kLShift, 110), Dn(kA, 120)}, Out::Going},
        // Ctrl held as it starts and let go: Shift+A is only Shift+A.
        {{kCtrl, kLCtrl}, {Up(kLCtrl, 50), Dn(kLShift, 110), Dn(kA, 120)}, Out::Going},
    };
    for (const auto& [keyState, input, outcome] : cases) {
        Recording recording(kCtrlShiftA, keyState, false);
        for (const RecordedInput& e : input) recording.Add(e);
        EXPECT_EQ(recording.outcome(), outcome) << input.size();
    }
}

// The hook may have reported the click's press, its press and release, or
// neither when the icon hears of it; the user's own last click stays.
TEST(Recording, ClickOnTheIconStopsItWithoutTheClick) {
    const RecordedInput down = Mouse(InputKind::LeftDown, 1013, 757, 400), up = Mouse(InputKind::LeftUp, 1014, 757, 410);
    const std::pair<std::vector<RecordedInput>, uint64_t> cases[] = {{{down}, 400}, {{down, up}, 400}, {{}, 300}};
    for (const auto& [icon, endMs] : cases) {
        Recording recording(kCtrlShiftA, {}, true);
        for (const RecordedInput& e : {Dn(kLCtrl, 0), Mouse(InputKind::LeftDown, 5, 5, 10),
                                       Mouse(InputKind::LeftUp, 5, 5, 20), Move(1013, 757, 300)})
            recording.Add(e);
        for (const RecordedInput& e : icon) recording.Add(e);
        recording.StopByIconClick(1015, 758);
        EXPECT_EQ(recording.Add(up), Recording::Outcome::Stopped);
        const auto kept = recording.Finish();
        EXPECT_EQ(Described(kept), (std::vector<std::string>{"key 17 down", "left down", "left up", "", "key 17 up"}));
        EXPECT_EQ(kept.back().timeUs, endMs * 1000);
    }
}

TEST(Recording, InputTheHooksMissedIsToldAndLeavesNothingHeld) {
    Recording recording(kCtrlShiftA, {}, false);
    recording.Add(Dn(kB, 0));
    EXPECT_FALSE(recording.inputMissed());
    // B's release is what went missing.
    recording.Add(Mouse(InputKind::Missed, 0, 0, 900));
    recording.Add(Dn(kC, 1000));
    recording.Add(Up(kC, 1050));
    EXPECT_TRUE(recording.inputMissed());
    EXPECT_EQ(recording.leftOut().Total(), 0u);
    const auto kept = recording.Finish();
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(Describe(kept[3]), "key 66 up");
    EXPECT_EQ(kept[3].timeUs, 1050000u);
}

TEST(Recording, StopsByItselfWhenFullKeepingWhatItHas) {
    Recording recording(kCtrlShiftA, {}, false);
    Recording::Outcome outcome = Recording::Outcome::Going;
    uint64_t ms = 0;
    size_t added = 0;
    while (outcome == Recording::Outcome::Going) {
        outcome = recording.Add(Key(added % 2 == 1, kB, ms++));
        ++added;
    }
    EXPECT_EQ(outcome, Recording::Outcome::Full);
    EXPECT_EQ(added, Recording::kMaxEvents);
    EXPECT_EQ(recording.Add(Dn(kC, ms)), Recording::Outcome::Full);
    EXPECT_EQ(recording.Finish().size(), Recording::kMaxEvents);
}

// The pointer's path, asked for: its changes, at most one per 10 ms, a
// sample that waits kept once its time is up; not asked for, nothing.
TEST(Recording, PathIsThinnedToChangesAtMostOnePer10Ms) {
    const std::pair<std::vector<RecordedInput>, std::vector<std::string>> cases[] = {
        // 3,1 waits and is replaced by 4,1; 5,1 comes 19 ms after 4,1.
        {{Move(1, 1, 0), Move(2, 1, 3), Move(3, 1, 6), Move(4, 1, 12), Move(4, 1, 30), Move(5, 1, 31), Dn(kB, 50),
          Up(kB, 60)},
         {"move 1,1 0", "move 4,1 12", "move 5,1 31", "key 66 down 50", "key 66 up 60"}},
        {{Move(1, 1, 0), Move(9, 9, 4), Dn(kB, 40), Up(kB, 45)},
         {"move 1,1 0", "move 9,9 10", "key 66 down 40", "key 66 up 45"}},
        // Exactly 10 ms after the last is kept at once; the next waits its turn.
        {{Move(1, 1, 0), Move(2, 1, 10), Move(3, 1, 12), Dn(kB, 40), Up(kB, 45)},
         {"move 1,1 0", "move 2,1 10", "move 3,1 20", "key 66 down 40", "key 66 up 45"}},
    };
    for (const auto& [input, kept] : cases) EXPECT_EQ(Shown(Record(input, kCtrlShiftA, {}, true)), kept);
    EXPECT_TRUE(Record({Move(1, 1, 0), Move(50, 50, 20)}).empty());
}

// Each pointer event kept goes after the window origin it happened with,
// when that is not the one kept last; a waiting path sample keeps the origin
// of its own moment; origins are neither positions nor keys of the chord.
TEST(Recording, PointerEventsKeepTheWindowOriginTheyHappenedWith) {
    const auto kept = Record({Origin(300, 200, 0), Move(310, 220, 0), Move(320, 220, 20), Origin(-1024, -768, 22),
                              Move(-1000, -700, 25), Origin(0, 0, 28), Dn(kB, 40), Mouse(InputKind::LeftDown, 7, 8, 50),
                              Dn(kLCtrl, 60), Dn(kLShift, 61), Origin(5, 5, 62), Move(9, 9, 62), Dn(kA, 63)},
                             kCtrlShiftA, {}, true);
    EXPECT_EQ(Shown(kept), (std::vector<std::string>{"in 300,200 0", "move 310,220 0", "move 320,220 20",
                                                     "in -1024,-768 30", "move -1000,-700 30", "key 66 down 40",
                                                     "in 0,0 50", "left down 7,8 50", "in 5,5 62", "move 9,9 62",
                                                     "left up 9,9 63", "key 66 up 63"}));
}

// --- What it becomes ---

// Recorded events and the lines they become; options: T the timing kept, P
// the pointer path asked for, W places in the window in front.
struct Conversion {
    const char* what;
    const char* options;
    std::vector<RecordedInput> events;
    const char* lines;
};

TEST(RecordConversion, LinesOfEachKindOfInput) {
    using K = InputKind;
    const std::vector<RecordedInput> onThreeMonitors = {
        Origin(-1024, -768, 0), Mouse(K::LeftDown, -1000, -700, 0), Mouse(K::LeftUp, -1000, -700, 50),
        Origin(1920, 0, 300),   Mouse(K::RightDown, 1930, 10, 300),  Mouse(K::RightUp, 1930, 10, 400),
        Origin(1900, 0, 500),   Mouse(K::LeftDown, 1930, 10, 500),   Mouse(K::LeftUp, 1930, 10, 510)};
    const Conversion cases[] = {
        {"nothing", "T", {}, ""},
        {"a hold near the player's own is one press", "T", {Dn(kB, 0), Up(kB, 52), Dn(kC, 152), Up(kC, 200)},
         "KeyPress 66 1\nDelay 100\nKeyPress 67 1\n"},
        {"3 ms off the player's 50 ms is still one", "T", {Dn(kB, 0), Up(kB, 53)}, "KeyPress 66 1\n"},
        {"a hold far from it is down, delay, up", "T", {Dn(kB, 0), Up(kB, 120), Dn(kC, 130), Up(kC, 140)},
         "KeyDown 66 1\nDelay 120\nKeyUp 66 1\nDelay 10\nKeyDown 67 1\nDelay 10\nKeyUp 67 1\n"},
        {"overlapping keys keep their order", "T", {Dn(kB, 0), Dn(kC, 30), Up(kB, 60), Up(kC, 90)},
         "KeyDown 66 1\nDelay 30\nKeyDown 67 1\nDelay 30\nKeyUp 66 1\nDelay 30\nKeyUp 67 1\n"},
        {"sided modifiers become the keys scripts name", "T", {Dn(kLCtrl, 0), Dn(kC, 20), Up(kC, 70), Up(kLCtrl, 90)},
         "KeyDown 17 1\nDelay 20\nKeyPress 67 1\nDelay 20\nKeyUp 17 1\n"},
        {"right Ctrl, right Alt (AltGr) and keypad keys stay themselves", "T",
         {Dn(0xA3, 0), Dn(0xA5, 10), Dn(0x64, 20), Up(0x64, 70), Dn(0x6F, 80), Up(0x6F, 130), Up(0xA5, 140),
          Up(0xA3, 150)},
         "KeyDown 163 1\nDelay 10\nKeyDown 165 1\nDelay 10\nKeyPress 100 1\nDelay 10\nKeyPress 111 1\n"
         "Delay 10\nKeyUp 165 1\nDelay 10\nKeyUp 163 1\n"},
        {"clicks at the recorded pixel, holds as recorded", "T",
         {Mouse(K::LeftDown, 100, 200, 0), Mouse(K::LeftUp, 100, 200, 49), Mouse(K::RightDown, 100, 200, 300),
          Mouse(K::RightUp, 100, 200, 400)},
         "MoveTo 100 200\nLeftClick 1\nDelay 251\nRightDown 1\nDelay 100\nRightUp 1\n"},
        {"a drag without the path moves only before the release", "T",
         {Mouse(K::LeftDown, 10, 10, 0), Move(20, 20, 50), Mouse(K::LeftUp, 300, 40, 200)},
         "MoveTo 10 10\nLeftDown 1\nDelay 200\nMoveTo 300 40\nLeftUp 1\n"},
        {"a drag with the path samples its way", "TP",
         {Mouse(K::LeftDown, 10, 10, 0), Move(20, 20, 50), Move(30, 30, 100), Mouse(K::LeftUp, 30, 30, 200)},
         "MoveTo 10 10\nLeftDown 1\nDelay 50\nMoveTo 20 20\nDelay 50\nMoveTo 30 30\nDelay 100\nLeftUp 1\n"},
        {"compact keys, chords and overlaps", "",
         {Dn(kLCtrl, 0), Dn(kC, 20), Up(kC, 70), Up(kLCtrl, 90), Dn(kA, 200), Dn(kB, 230), Up(kA, 260), Up(kB, 290)},
         "KeyDown 17 1\nKeyPress 67 1\nKeyUp 17 1\nKeyDown 65 1\nKeyDown 66 1\nKeyUp 65 1\nKeyUp 66 1\n"},
        {"compact repeated presses are one press with a count", "",
         {Dn(kB, 0), Up(kB, 10), Dn(kB, 400), Up(kB, 410), Dn(kB, 900), Up(kB, 1500), Dn(kC, 1600), Up(kC, 1610),
          Dn(kB, 1700), Up(kB, 1710)},
         "KeyPress 66 3\nKeyPress 67 1\nKeyPress 66 1\n"},
        {"a double click", "",
         {Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 51, 60, 300),
          Mouse(K::LeftUp, 51, 60, 380)},
         "MoveTo 50 60\nLeftDoubleClick 1\n"},
        {"the second click exactly at the double-click time", "",
         {Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 50, 60, 500),
          Mouse(K::LeftUp, 50, 60, 580)},
         "MoveTo 50 60\nLeftDoubleClick 1\n"},
        {"too slow for a double click", "",
         {Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 50, 60, 600),
          Mouse(K::LeftUp, 50, 60, 680)},
         "MoveTo 50 60\nLeftClick 1\nLeftClick 1\n"},
        {"too far apart for one", "",
         {Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 90, 60, 200),
          Mouse(K::LeftUp, 90, 60, 280)},
         "MoveTo 50 60\nLeftClick 1\nMoveTo 90 60\nLeftClick 1\n"},
        {"3 pixels off is outside a spot 4 pixels wide", "",
         {Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 53, 60, 200),
          Mouse(K::LeftUp, 53, 60, 280)},
         "MoveTo 50 60\nLeftClick 1\nMoveTo 53 60\nLeftClick 1\n"},
        {"another row is a move", "",
         {Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 50, 90, 900),
          Mouse(K::LeftUp, 50, 90, 980)},
         "MoveTo 50 60\nLeftClick 1\nMoveTo 50 90\nLeftClick 1\n"},
        {"a right button let go elsewhere is a drag", "",
         {Mouse(K::RightDown, 5, 5, 0), Mouse(K::RightUp, 9, 9, 50)},
         "MoveTo 5 5\nRightDown 1\nMoveTo 9 9\nRightUp 1\n"},
        {"compact path samples have no delays", "P",
         {Move(5, 5, 0), Move(6, 7, 20), Mouse(K::RightDown, 6, 7, 40), Mouse(K::RightUp, 6, 7, 45), Dn(kB, 50),
          Move(9, 9, 60), Up(kB, 70)},
         "MoveTo 5 5\nMoveTo 6 7\nRightClick 1\nKeyDown 66 1\nMoveTo 9 9\nKeyUp 66 1\n"},
        // The same Delays, every place a MoveIn from the client corner of the
        // window then in front (on monitors left of and above the primary,
        // and right of it), a new MoveIn where only the window changed.
        {"places in the window in front", "TW", onThreeMonitors, "MoveIn 24 68\nLeftClick 1\nDelay 250\nMoveIn 10 10\n"
         "RightDown 1\nDelay 100\nRightUp 1\nDelay 100\nMoveIn 30 10\nLeftDown 1\nDelay 10\nLeftUp 1\n"},
        {"the same on the screen", "T", onThreeMonitors, "MoveTo -1000 -700\nLeftClick 1\nDelay 250\nMoveTo 1930 10\n"
         "RightDown 1\nDelay 100\nRightUp 1\nDelay 100\nLeftDown 1\nDelay 10\nLeftUp 1\n"},
        {"a double click in a window that moved is still one", "W",
         {Origin(100, 100, 0), Mouse(K::LeftDown, 150, 150, 0), Mouse(K::LeftUp, 150, 150, 80), Origin(120, 90, 100),
          Mouse(K::LeftDown, 151, 150, 300), Mouse(K::LeftUp, 151, 150, 380)},
         "MoveIn 50 50\nLeftDoubleClick 1\n"},
        {"before any origin, no window in front: the primary monitor's", "PW",
         {Move(5, 5, 0), Mouse(K::RightDown, 6, 7, 40), Mouse(K::RightUp, 6, 7, 45)},
         "MoveIn 5 5\nMoveIn 6 7\nRightClick 1\n"},
    };
    for (const Conversion& c : cases) {
        const std::string options = c.options;
        EXPECT_EQ(Convert(c.events, options.find('T') != std::string::npos, options.find('P') != std::string::npos,
                          options.find('W') != std::string::npos),
                  c.lines)
            << c.what;
    }
}

TEST(RecordConversion, SubMillisecondGapsCarryTheirRounding) {
    std::vector<RecordedInput> events;
    for (int i = 0; i < 10; ++i) {
        RecordedInput e = Dn(static_cast<uint8_t>(kA + i), 0);
        e.timeUs = static_cast<uint64_t>(i) * 1400;  // 1.4 ms apart
        events.push_back(e);
    }
    const auto actions = ConvertRecording(events, RecordOptions{});
    int32_t total = 0;
    for (const ScriptAction& a : actions)
        if (a.kind == KindDelay) total += a.param1;
    EXPECT_EQ(total, 13);  // 12.6 ms in all: never more than half a millisecond off
}

// Played back on the virtual clock: the same events, in the same order, at
// the same pixels, every gap within a millisecond of the recorded one.
TEST(RecordConversion, ReplayReproducesTheRecordedEventsAndGaps) {
    const std::vector<RecordedInput> recorded = Record(
        {Dn(kLCtrl, 1000), Dn(kC, 1080), Up(kC, 1129), Up(kLCtrl, 1200),                        // Ctrl+C
         Dn(kA, 1400), Dn(kB, 1430), Up(kA, 1470), Up(kB, 1560),                               // overlap
         Mouse(InputKind::LeftDown, 300, 200, 1700), Mouse(InputKind::LeftUp, 300, 200, 1751),  // click
         Mouse(InputKind::LeftDown, 300, 200, 1850), Mouse(InputKind::LeftUp, 300, 200, 1930),  // again
         Mouse(InputKind::RightDown, 40, 700, 2300), Mouse(InputKind::RightUp, 41, 700, 2306),
         Dn(kC, 2400), Dn(kC, 2900), Up(kC, 2910),  // held, with a repeat
         Mouse(InputKind::MiddleDown, 40, 700, 2950), Mouse(InputKind::MiddleUp, 40, 700, 3001),
         Mouse(InputKind::X2Down, 40, 700, 3020), Turn(InputKind::HWheel, -120, 40, 700, 3030),
         Mouse(InputKind::X2Up, 40, 700, 3100), Turn(InputKind::Wheel, 360, 40, 700, 3103),
         Dn(kLCtrl, 4000), Dn(kLShift, 4050), Dn(kA, 4100)});
    for (bool path : {false, true}) {
        const Replayed replayed = Replay(ConvertRecording(recorded, RecordOptions{true, path}));
        ASSERT_EQ(replayed.events.size(), recorded.size()) << Lines(ConvertRecording(recorded, RecordOptions{}));
        for (size_t i = 0; i < recorded.size(); ++i) {
            std::string expected = Describe(recorded[i]);
            if (!(recorded[i].kind == InputKind::KeyDown || recorded[i].kind == InputKind::KeyUp))
                expected += " @" + std::to_string(recorded[i].x) + "," + std::to_string(recorded[i].y);
            EXPECT_EQ(replayed.events[i], expected) << i;
            if (i == 0) continue;
            const int64_t recordedGap = static_cast<int64_t>(recorded[i].timeUs - recorded[i - 1].timeUs) / 1000;
            const int64_t playedGap = static_cast<int64_t>(replayed.times[i]) - replayed.times[i - 1];
            EXPECT_LE(std::abs(playedGap - recordedGap), 1) << i;
        }
    }
}

TEST(RecordConversion, ButtonsAndWheelsOfEveryKind) {
    using K = InputKind;
    const std::vector<RecordedInput> recorded = {
        Mouse(K::MiddleDown, 5, 5, 0),   Mouse(K::MiddleUp, 5, 5, 50),    Mouse(K::X1Down, 5, 5, 100),
        Mouse(K::X1Up, 5, 5, 150),       Mouse(K::X2Down, 5, 5, 200),     Mouse(K::X2Up, 5, 5, 500),
        Turn(K::Wheel, -120, 5, 5, 600), Turn(K::Wheel, -120, 5, 5, 610), Turn(K::Wheel, -40, 5, 5, 620),
        Turn(K::Wheel, 120, 5, 5, 700),  Turn(K::HWheel, 120, 5, 5, 800), Turn(K::Wheel, 120, 6, 5, 900),
        Turn(K::Wheel, 32767, 6, 5, 950)};
    EXPECT_EQ(Convert(recorded, true),
              "MoveTo 5 5\nMiddleClick 1\nDelay 50\nX1Click 1\nDelay 50\nX2Down 1\nDelay 300\nX2Up 1\n"
              "Delay 100\nWheel -120\nDelay 10\nWheel -120\nDelay 10\nWheel -40\nDelay 80\nWheel 120\n"
              "Delay 100\nHWheel 120\nDelay 100\nMoveTo 6 5\nWheel 120\nDelay 50\nWheel 32767\n");
    // One line per scroll: the same wheel, the same way, at the same spot.
    EXPECT_EQ(Convert(recorded, false),
              "MoveTo 5 5\nMiddleClick 1\nX1Click 1\nX2Click 1\nWheel -280\nWheel 120\nHWheel 120\n"
              "MoveTo 6 5\nWheel 32887\n");
}

TEST(RecordConversion, CompactWheelLinesNeverOverflow) {
    std::vector<RecordedInput> turns(65539, Turn(InputKind::Wheel, 32767, 0, 0, 0));
    EXPECT_EQ(Convert(turns, false), "MoveTo 0 0\nWheel 2147483646\nWheel 32767\n");
}

TEST(RecordConversion, KeysAndLeftRightButtonsGiveOnlyKindsBothEditionsHave) {
    const auto recorded = Record({Move(5, 5, 0), Mouse(InputKind::LeftDown, 9, 9, 20), Move(30, 30, 40),
                                  Mouse(InputKind::LeftUp, 40, 40, 60), Dn(kB, 80), Up(kB, 500)},
                                 kCtrlShiftA, {}, true);
    for (bool timing : {false, true})
        for (const ScriptAction& a : ConvertRecording(recorded, RecordOptions{timing, true}))
            EXPECT_TRUE(EditionHasKind(Edition::V10, a.kind)) << a.kind;
}

// The goal: a click recorded in its window lands on the same client pixel
// after that window moved, to another monitor even.
TEST(RecordConversion, WindowRelativeClickFollowsItsWindow) {
    const auto recorded = Record({Origin(300, 200, 0), Mouse(InputKind::LeftDown, 350, 260, 10),
                                  Mouse(InputKind::LeftUp, 350, 260, 60), Dn(kB, 100), Up(kB, 150)});
    RecordOptions options;
    options.windowRelative = true;
    for (bool timing : {false, true}) {
        options.keepTiming = timing;
        const auto actions = ConvertRecording(recorded, options);
        EXPECT_EQ(Replay(actions, DesktopPoint{300, 200}).events[0], "left down @350,260");
        EXPECT_EQ(Replay(actions, DesktopPoint{-1500, -300}).events[0], "left down @-1450,-240");
    }
}

// --- The hook's side ---

TEST(InputRecorder, ReportsEveryoneElsesInputButNotTheProgramsOwn) {
    hook::testing::FakeSink sink;
    hook::InputRecorder recorder(sink);
    recorder.OnKeyEvent(hook::testing::Down(kB));
    EXPECT_TRUE(sink.recorded.empty());  // nobody records
    sink.recording = true;
    hook::KeyEvent injected = hook::testing::Down(kB, 77);
    injected.injected = true;
    injected.timeUs = 123456789;
    recorder.OnKeyEvent(injected);
    recorder.OnKeyEvent(hook::testing::Up(kB, hook::kOwnInputTag));
    hook::MouseEvent own;
    own.action = hook::MouseAction::LeftDown;
    own.extraInfo = hook::kOwnInputTag;
    recorder.OnMouseEvent(own);
    hook::MouseEvent click;
    click.action = hook::MouseAction::RightDown;
    click.x = -1200;
    click.y = 300;
    recorder.OnMouseEvent(click);
    ASSERT_EQ(sink.recorded.size(), 2u);
    EXPECT_TRUE(sink.recorded[0].injected);
    EXPECT_EQ(sink.recorded[0].timeUs, 123456789u);
    EXPECT_EQ(sink.recorded[1].kind, InputKind::RightDown);
}

// The real hook's mapping of side buttons and wheels is the Windows-side
// test's; a third side button is no script's, counted once at its press.
TEST(InputRecorder, ASideButtonBeyondTheSecondIsReportedOnlyAsItsPress) {
    hook::testing::FakeSink sink;
    sink.recording = true;
    hook::InputRecorder recorder(sink);
    for (hook::MouseAction action : {hook::MouseAction::ExtraDown, hook::MouseAction::ExtraUp}) {
        hook::MouseEvent event;
        event.action = action;
        event.data = 3;
        recorder.OnMouseEvent(event);
    }
    ASSERT_EQ(sink.recorded.size(), 1u);
    EXPECT_EQ(sink.recorded[0].kind, InputKind::OtherSideButton);
}

// The window in front is looked at as each pointer event arrives, only for
// a recording that asks, and reported only when it changed or the
// recording may be a new one; no window in front is the primary's corner.
TEST(InputRecorder, WindowOriginGoesAheadOfPointerEventsWhenItChanged) {
    hook::testing::FakeSink sink;
    hook::testing::FakeWindows windows;
    hook::InputRecorder recorder(sink, &windows);
    sink.recording = true;
    windows.x = -1917;
    windows.y = -1058;
    hook::MouseEvent move;
    recorder.OnMouseEvent(move);
    sink.windowOrigins = true;
    recorder.OnMouseEvent(move);
    recorder.OnMouseEvent(move);
    recorder.OnKeyEvent(hook::testing::Down(kB));
    windows.any = false;
    recorder.OnMouseEvent(move);
    recorder.OnMouseEvent(move);
    recorder.TargetsChanged();
    recorder.OnMouseEvent(move);
    EXPECT_EQ(Shown(sink.recorded),
              (std::vector<std::string>{"move 0,0 0", "in -1917,-1058 0", "move 0,0 0", "move 0,0 0", "key 66 down 0",
                                        "in 0,0 0", "move 0,0 0", "move 0,0 0", "in 0,0 0", "move 0,0 0"}));
}

TEST(InputRecorder, EachButtonKeepsItsOwnKind) {
    hook::testing::FakeSink sink;
    sink.recording = true;
    hook::InputRecorder recorder(sink);
    for (hook::MouseAction action : {hook::MouseAction::LeftDown, hook::MouseAction::LeftUp,
                                     hook::MouseAction::RightDown, hook::MouseAction::RightUp}) {
        hook::MouseEvent event;
        event.action = action;
        recorder.OnMouseEvent(event);
    }
    ASSERT_EQ(sink.recorded.size(), 4u);
    EXPECT_EQ(sink.recorded[0].kind, InputKind::LeftDown);
    EXPECT_EQ(sink.recorded[1].kind, InputKind::LeftUp);
    EXPECT_EQ(sink.recorded[2].kind, InputKind::RightDown);
    EXPECT_EQ(sink.recorded[3].kind, InputKind::RightUp);
}

TEST(InputRecorder, MissedInputIsReportedOnlyWhileRecording) {
    hook::testing::FakeSink sink;
    hook::InputRecorder recorder(sink);
    recorder.OnInputMissed(5);
    EXPECT_TRUE(sink.recorded.empty());
    sink.recording = true;
    recorder.OnInputMissed(7);
    ASSERT_EQ(sink.recorded.size(), 1u);
    EXPECT_EQ(sink.recorded[0].kind, InputKind::Missed);
    EXPECT_EQ(sink.recorded[0].timeUs, 7u);
}

TEST(InputRecorder, ReportSurvivesItsTwoWords) {
    RecordedInput in;
    in.kind = InputKind::LeftUp;
    in.vk = 0xA3;
    in.scan = 0x11D;
    in.extended = true;
    in.injected = true;
    in.x = -1920;
    in.y = 2159;
    in.timeUs = 0x123456789ABCull;
    const RecordedInput out = hook::Unpack(hook::Pack(in));
    EXPECT_EQ(out.kind, in.kind);
    EXPECT_EQ(out.vk, in.vk);
    EXPECT_EQ(out.scan, in.scan);
    EXPECT_TRUE(out.extended);
    EXPECT_TRUE(out.injected);
    EXPECT_EQ(out.x, in.x);
    EXPECT_EQ(out.y, in.y);
    EXPECT_EQ(out.timeUs, in.timeUs);
}

}  // namespace
}  // namespace tarvix
