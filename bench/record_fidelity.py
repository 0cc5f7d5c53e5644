#!/usr/bin/python3
"""Record-then-replay fidelity under Wine: a few hundred key and button events
typed and clicked with xdotool at random gaps into the target window while
tarvix records with the timing kept, then the saved script played back into
the same window. Prints the error of every gap between consecutive events,
replay against recording, as the target window saw both (p50, p95, max), and
beside it the floor of the same run: the same script played a second time,
against the first replay.

    python3 bench/record_fidelity.py [EVENTS]       (default 300; needs the windows build)
"""

import random
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import test_editor  # noqa: E402
from test_editor import gaps  # noqa: E402

EVENTS = int(sys.argv[1]) if len(sys.argv) > 1 else 300
LETTERS = "bcdeghijklmnopqrstuvwxyz"


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def work(events, seed=12):
    """xdotool commands for about `events` events, the gaps asked for, and
    how many events they make."""
    rng = random.Random(seed)
    commands, asked = [], []
    made = 0
    while made < events:
        gap = rng.randint(15, 150) / 1000
        if rng.random() < 0.1:
            x, y = rng.randint(760, 1000), rng.randint(580, 740)
            commands += ["mousemove", str(x), str(y), "sleep", "0.05", "click", "1"]
            asked += [None, gap]  # xdotool's own click has no hold to ask for
        else:
            hold = rng.randint(10, 120) / 1000
            key = rng.choice(LETTERS)
            commands += ["keydown", key, "sleep", f"{hold:.3f}", "keyup", key]
            asked += [hold, gap]
        commands += ["sleep", f"{gap:.3f}"]
        made += 2
    return commands, asked, made


class Fidelity(test_editor.Record):

    def test_fidelity(self):
        commands, _, made = work(EVENTS)
        recorded, replayed, lines = self.record_and_replay(commands, made, seconds=EVENTS)
        # Where played buttons land inside Wine's desktop is Wine's doing
        # (see test_editor); the timing is what is measured here.
        self.assertEqual([e[1:] for e in replayed], [e[1:] for e in recorded], "the replay differs")
        errors = [abs(a - b) for a, b in zip(gaps(recorded), gaps(replayed))]
        signed = [b - a for a, b in zip(gaps(recorded), gaps(replayed))]
        # The floor: the same script played a second time, against the first.
        again = self.replay(len(recorded), EVENTS)
        floor = [abs(a - b) for a, b in zip(gaps(replayed), gaps(again))]
        print(f"\n{len(recorded)} events, {len(lines)} actions")
        print(f"replay against recording, gap error (ms): p50 {percentile(errors, 50):.2f}  "
              f"p95 {percentile(errors, 95):.2f}  max {max(errors):.2f}  mean signed {sum(signed) / len(signed):+.2f}")
        print(f"floor, second replay against first (ms): p50 {percentile(floor, 50):.2f}  "
              f"p95 {percentile(floor, 95):.2f}  max {max(floor):.2f}", flush=True)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "Fidelity.test_fidelity"])
