// What a recording keeps of the reported input, the actions it becomes, and
// the proof of both: the actions played on a virtual clock give back the
// recorded events, in order, at the recorded gaps.
#include <gtest/gtest.h>

#include <sstream>

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

std::string Convert(const std::vector<RecordedInput>& events, bool timing, bool path = false) {
    RecordOptions options;
    options.keepTiming = timing;
    options.mousePath = path;
    return Lines(ConvertRecording(events, options));
}

std::string Describe(const RecordedInput& e) {
    switch (e.kind) {
    case InputKind::KeyDown: return "key " + std::to_string(ScriptKeyOf(e.vk)) + " down";
    case InputKind::KeyUp: return "key " + std::to_string(ScriptKeyOf(e.vk)) + " up";
    case InputKind::LeftDown: return "left down";
    case InputKind::LeftUp: return "left up";
    case InputKind::RightDown: return "right down";
    case InputKind::RightUp: return "right up";
    default: return "";
    }
}

// Plays the actions on the virtual clock: each key or button event with the
// millisecond it was played at, and the pointer's place at each button event.
struct Replayed {
    std::vector<std::string> events;
    std::vector<uint32_t> times;
};

Replayed Replay(const std::vector<ScriptAction>& actions) {
    testing::Recorder player;
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

TEST(Recording, AutoRepeatsAreOneKeyDown) {
    const auto kept = Record({Dn(kB, 0), Dn(kB, 500), Dn(kB, 530), Up(kB, 560)});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].timeUs, 0u);
    EXPECT_EQ(kept[1].kind, InputKind::KeyUp);
}

TEST(Recording, KeysHeldAtTheStartAreLeftOutUntilPressedAgain) {
    const auto kept = Record({Dn(kB, 0), Up(kB, 10), Dn(kC, 20), Up(kC, 30), Dn(kB, 40), Up(kB, 50)}, kCtrlShiftA,
                             {kB});
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[0].vk, kC);
    EXPECT_EQ(kept[2].vk, kB);
    EXPECT_EQ(kept[2].timeUs, 40000u);
}

TEST(Recording, ReleaseOfAButtonPressedBeforeTheStartIsLeftOut) {
    const auto kept = Record({Mouse(InputKind::LeftUp, 5, 5, 0), Mouse(InputKind::LeftDown, 9, 9, 10),
                              Mouse(InputKind::LeftUp, 9, 9, 20)});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].kind, InputKind::LeftDown);
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

TEST(Recording, StopKeyWithOtherModifiersIsRecorded) {
    Recording recording(kCtrlShiftA, {}, false);
    recording.Add(Dn(kLCtrl, 0));
    EXPECT_EQ(recording.Add(Dn(kA, 10)), Recording::Outcome::Going);  // Ctrl+A, not Ctrl+Shift+A
    recording.Add(Up(kA, 20));
    recording.Add(Up(kLCtrl, 30));
    EXPECT_EQ(recording.Finish().size(), 4u);
}

TEST(Recording, ModifierHeldThroughTheWorkIsKeptAndReleasedAtTheStop) {
    // Ctrl+C, then Shift+A with Ctrl still down: the Ctrl press was part of
    // the work; only Shift and A were the stop.
    const auto kept = Record({Dn(kLCtrl, 0), Dn(kC, 10), Up(kC, 20), Dn(kLShift, 100), Dn(kA, 110)});
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[0].vk, kLCtrl);
    EXPECT_EQ(kept[3].kind, InputKind::KeyUp);
    EXPECT_EQ(kept[3].vk, kLCtrl);
    EXPECT_EQ(kept[3].timeUs, 110000u);
}

TEST(Recording, ChordOfModifiersHeldSinceTheStartStops) {
    Recording recording(kCtrlShiftA, {kLCtrl, kLShift}, false);
    EXPECT_EQ(recording.Add(Dn(kA, 10)), Recording::Outcome::Stopped);
    EXPECT_TRUE(recording.Finish().empty());
}

TEST(Recording, KeysAndButtonsStillHeldAreReleasedAtTheEnd) {
    const auto kept = Record({Dn(kB, 0), Mouse(InputKind::RightDown, 7, 8, 5), Dn(kLCtrl, 50), Dn(kLShift, 60),
                              Dn(kA, 70)});
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[2].kind, InputKind::KeyUp);
    EXPECT_EQ(kept[2].vk, kB);
    EXPECT_EQ(kept[3].kind, InputKind::RightUp);
    EXPECT_EQ(kept[3].x, 7);
    EXPECT_EQ(kept[3].timeUs, 70000u);
}

TEST(Recording, WheelMiddleAndSideButtonsAreCountedNotKept) {
    Recording recording(kCtrlShiftA, {}, false);
    recording.Add(Mouse(InputKind::Wheel, 0, 0, 0));
    recording.Add(Mouse(InputKind::Wheel, 0, 0, 1));
    recording.Add(Mouse(InputKind::MiddleButton, 0, 0, 2));
    recording.Add(Mouse(InputKind::ExtraButton, 0, 0, 3));
    EXPECT_EQ(recording.leftOut().wheel, 2u);
    EXPECT_EQ(recording.leftOut().middle, 1u);
    EXPECT_EQ(recording.leftOut().extra, 1u);
    EXPECT_EQ(recording.leftOut().Total(), 4u);
    EXPECT_TRUE(recording.Finish().empty());
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

TEST(Recording, PathIsThinnedToChangesAtMostOnePer10Ms) {
    const auto kept = Record({Move(1, 1, 0), Move(2, 1, 3), Move(3, 1, 6), Move(4, 1, 12), Move(4, 1, 30),
                              Move(5, 1, 31), Dn(kB, 50), Up(kB, 60)},
                             kCtrlShiftA, {}, true);
    // 1,1 at 0; 4,1 at 12 (3,1 was waiting and is replaced); 5,1 came 19 ms
    // after 4,1 and is kept.
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept[0].x, 1);
    EXPECT_EQ(kept[1].x, 4);
    EXPECT_EQ(kept[1].timeUs, 12000u);
    EXPECT_EQ(kept[2].x, 5);
    EXPECT_EQ(kept[3].kind, InputKind::KeyDown);
}

TEST(Recording, WaitingSampleIsKeptOnceItsTimeIsUpBeforeTheNextEvent) {
    const auto kept = Record({Move(1, 1, 0), Move(9, 9, 4), Dn(kB, 40), Up(kB, 45)}, kCtrlShiftA, {}, true);
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[1].x, 9);
    EXPECT_EQ(kept[1].timeUs, 10000u);  // 10 ms after the last sample
}

TEST(Recording, PathIsNotKeptWhenNotAskedFor) {
    EXPECT_TRUE(Record({Move(1, 1, 0), Move(50, 50, 20)}).empty());
}

// --- What it becomes, timing kept ---

TEST(RecordConversion, EmptyRecordingIsNoAction) {
    EXPECT_TRUE(ConvertRecording({}, RecordOptions{}).empty());
}

TEST(RecordConversion, HoldNearThePlayersOwnIsOneKeyPress) {
    EXPECT_EQ(Convert({Dn(kB, 0), Up(kB, 52), Dn(kC, 152), Up(kC, 200)}, true),
              "KeyPress 66 1\nDelay 100\nKeyPress 67 1\n");
}

TEST(RecordConversion, HoldFarFromThePlayersOwnIsDownDelayUp) {
    EXPECT_EQ(Convert({Dn(kB, 0), Up(kB, 120), Dn(kC, 130), Up(kC, 140)}, true),
              "KeyDown 66 1\nDelay 120\nKeyUp 66 1\nDelay 10\nKeyDown 67 1\nDelay 10\nKeyUp 67 1\n");
}

TEST(RecordConversion, OverlappingKeysKeepTheirOrder) {
    EXPECT_EQ(Convert({Dn(kB, 0), Dn(kC, 30), Up(kB, 60), Up(kC, 90)}, true),
              "KeyDown 66 1\nDelay 30\nKeyDown 67 1\nDelay 30\nKeyUp 66 1\nDelay 30\nKeyUp 67 1\n");
}

TEST(RecordConversion, SidedModifiersBecomeTheKeysScriptsName) {
    EXPECT_EQ(Convert({Dn(kLCtrl, 0), Dn(kC, 20), Up(kC, 70), Up(kLCtrl, 90)}, true),
              "KeyDown 17 1\nDelay 20\nKeyPress 67 1\nDelay 20\nKeyUp 17 1\n");
}

TEST(RecordConversion, ClickAtTheRecordedPixelWithHoldsAsRecorded) {
    EXPECT_EQ(Convert({Mouse(InputKind::LeftDown, 100, 200, 0), Mouse(InputKind::LeftUp, 100, 200, 49),
                       Mouse(InputKind::RightDown, 100, 200, 300), Mouse(InputKind::RightUp, 100, 200, 400)},
                      true),
              "MoveTo 100 200\nLeftClick 1\nDelay 251\nRightDown 1\nDelay 100\nRightUp 1\n");
}

TEST(RecordConversion, DragWithoutPathMovesOnlyBeforeTheRelease) {
    EXPECT_EQ(Convert({Mouse(InputKind::LeftDown, 10, 10, 0), Move(20, 20, 50),
                       Mouse(InputKind::LeftUp, 300, 40, 200)},
                      true),
              "MoveTo 10 10\nLeftDown 1\nDelay 200\nMoveTo 300 40\nLeftUp 1\n");
}

TEST(RecordConversion, DragWithPathSamplesItsWay) {
    EXPECT_EQ(Convert({Mouse(InputKind::LeftDown, 10, 10, 0), Move(20, 20, 50), Move(30, 30, 100),
                       Mouse(InputKind::LeftUp, 30, 30, 200)},
                      true, true),
              "MoveTo 10 10\nLeftDown 1\nDelay 50\nMoveTo 20 20\nDelay 50\nMoveTo 30 30\nDelay 100\nLeftUp 1\n");
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

TEST(RecordConversion, DelaysLeaveRoomForWhatTheirPlayingOverruns) {
    RecordOptions options;
    options.delayOverrunUs = 2000;
    EXPECT_EQ(Lines(ConvertRecording({Dn(kB, 0), Up(kB, 120), Dn(kC, 121), Up(kC, 171)}, options)),
              "KeyDown 66 1\nDelay 118\nKeyUp 66 1\nKeyPress 67 1\n");
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
         Dn(kLCtrl, 3000), Dn(kLShift, 3050), Dn(kA, 3100)});
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

// --- What it becomes, timing not kept ---

TEST(RecordConversion, CompactKeysChordsAndOverlaps) {
    EXPECT_EQ(Convert({Dn(kLCtrl, 0), Dn(kC, 20), Up(kC, 70), Up(kLCtrl, 90), Dn(kA, 200), Dn(kB, 230),
                       Up(kA, 260), Up(kB, 290)},
                      false),
              "KeyDown 17 1\nKeyPress 67 1\nKeyUp 17 1\nKeyDown 65 1\nKeyDown 66 1\nKeyUp 65 1\nKeyUp 66 1\n");
}

TEST(RecordConversion, CompactRepeatedPressesAreOneKeyPressWithACount) {
    EXPECT_EQ(Convert({Dn(kB, 0), Up(kB, 10), Dn(kB, 400), Up(kB, 410), Dn(kB, 900), Up(kB, 1500), Dn(kC, 1600),
                       Up(kC, 1610), Dn(kB, 1700), Up(kB, 1710)},
                      false),
              "KeyPress 66 3\nKeyPress 67 1\nKeyPress 66 1\n");
}

TEST(RecordConversion, CompactDoubleClickNeedsOneSpotAndTheDoubleClickTime) {
    using K = InputKind;
    EXPECT_EQ(Convert({Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 51, 60, 300),
                       Mouse(K::LeftUp, 51, 60, 380)},
                      false),
              "MoveTo 50 60\nLeftDoubleClick 1\n");
    // Too slow: two clicks.
    EXPECT_EQ(Convert({Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 50, 60, 600),
                       Mouse(K::LeftUp, 50, 60, 680)},
                      false),
              "MoveTo 50 60\nLeftClick 1\nLeftClick 1\n");
    // Too far apart: two clicks, a move before the second.
    EXPECT_EQ(Convert({Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 90, 60, 200),
                       Mouse(K::LeftUp, 90, 60, 280)},
                      false),
              "MoveTo 50 60\nLeftClick 1\nMoveTo 90 60\nLeftClick 1\n");
}

TEST(RecordConversion, CompactPathSamplesWithoutDelays) {
    EXPECT_EQ(Convert({Move(5, 5, 0), Move(6, 7, 20), Mouse(InputKind::RightDown, 6, 7, 40),
                       Mouse(InputKind::RightUp, 6, 7, 45), Dn(kB, 50), Move(9, 9, 60), Up(kB, 70)},
                      false, true),
              "MoveTo 5 5\nMoveTo 6 7\nRightClick 1\nKeyDown 66 1\nMoveTo 9 9\nKeyUp 66 1\n");
}

TEST(RecordConversion, RecordedScriptHoldsOnlyKindsBothEditionsHave) {
    const auto recorded = Record({Move(5, 5, 0), Mouse(InputKind::LeftDown, 9, 9, 20), Move(30, 30, 40),
                                  Mouse(InputKind::LeftUp, 40, 40, 60), Dn(kB, 80), Up(kB, 500)},
                                 kCtrlShiftA, {}, true);
    for (bool timing : {false, true})
        for (const ScriptAction& a : ConvertRecording(recorded, RecordOptions{timing, true}))
            EXPECT_TRUE(EditionHasKind(Edition::V10, a.kind)) << a.kind;
}

// --- Edges of the rules above ---

TEST(Recording, EdgesOfThePathAndTheStopChord) {
    // A sample exactly 10 ms after the last is kept at once, so the next
    // one waits for its own turn.
    auto kept = Record({Move(1, 1, 0), Move(2, 1, 10), Move(3, 1, 12), Dn(kB, 40), Up(kB, 45)}, kCtrlShiftA, {},
                       true);
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept[1].x, 2);
    EXPECT_EQ(kept[2].x, 3);
    EXPECT_EQ(kept[2].timeUs, 20000u);
    // Only the chord's own presses are left out at the stop, not an earlier
    // press and release of one of its keys.
    kept = Record({Dn(kLCtrl, 0), Up(kLCtrl, 50), Dn(kLCtrl, 100), Dn(kLShift, 120), Dn(kA, 140)});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].kind, InputKind::KeyUp);
}

TEST(RecordConversion, EdgesOfHoldsDoubleClicksAndSpots) {
    using K = InputKind;
    // 3 ms off the player's 50 ms hold is still one press.
    EXPECT_EQ(Convert({Dn(kB, 0), Up(kB, 53)}, true), "KeyPress 66 1\n");
    // The second click exactly at the double-click time still counts; 3
    // pixels off is outside a spot 4 pixels wide; another row is a move.
    EXPECT_EQ(Convert({Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 50, 60, 500),
                       Mouse(K::LeftUp, 50, 60, 580)},
                      false),
              "MoveTo 50 60\nLeftDoubleClick 1\n");
    EXPECT_EQ(Convert({Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 53, 60, 200),
                       Mouse(K::LeftUp, 53, 60, 280)},
                      false),
              "MoveTo 50 60\nLeftClick 1\nMoveTo 53 60\nLeftClick 1\n");
    EXPECT_EQ(Convert({Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80), Mouse(K::LeftDown, 50, 90, 900),
                       Mouse(K::LeftUp, 50, 90, 980)},
                      false),
              "MoveTo 50 60\nLeftClick 1\nMoveTo 50 90\nLeftClick 1\n");
    // A right button let go elsewhere is a drag, not a click.
    EXPECT_EQ(Convert({Mouse(K::RightDown, 5, 5, 0), Mouse(K::RightUp, 9, 9, 50)}, false),
              "MoveTo 5 5\nRightDown 1\nMoveTo 9 9\nRightUp 1\n");
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
    hook::MouseEvent release;
    release.action = hook::MouseAction::MiddleUp;  // counted at its press
    recorder.OnMouseEvent(release);
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
