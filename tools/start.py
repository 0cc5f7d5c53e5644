#!/usr/bin/python3
"""Starts tarvix for a person at the screen (tools/run.sh): the built program
folder itself, so scripts made in it are kept, in a prefix kept beside the
build; without a display, on a virtual one, for a screenshot.
    tools/start.py [--dist FOLDER] [--classic] [--keep] [--virtual]"""

import argparse
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from harness import DEFAULT_DIST, MAIN, Display, Prefix, Session, dist_dir, log, require  # noqa: E402


def start(args):
    exe_name = "tarvix-classic.exe" if args.classic else "tarvix.exe"
    folder = dist_dir(args.dist)
    require(folder / exe_name)
    if os.environ.get("DISPLAY") and not args.virtual:
        display = Display()
        display.number = os.environ["DISPLAY"].lstrip(":")
        prefix = Prefix(display, root=folder.parent / "wine")
        if not (prefix.path / "system.reg").exists():
            prefix.boot()
        try:
            subprocess.run(["wine", folder / exe_name], cwd=folder, env=prefix.env(), stdin=subprocess.DEVNULL)
        except KeyboardInterrupt:
            prefix.kill()
        return 0
    session = Session().open()
    try:
        session.start(session.program_folder(args.dist, examples=True) / exe_name, desktop=True)
        try:
            session.wait_window(MAIN, timeout=30)
        except TimeoutError as error:
            log(str(error))
        time.sleep(1.0)  # let the dialog finish painting
        print(session.screenshot(exe_name.replace(".exe", "-start")), flush=True)
        if args.keep:
            log(f"running on display {session.display.name}; Ctrl+C stops it")
        while args.keep and any(p.poll() is None for p in session.processes):
            time.sleep(0.5)
    except KeyboardInterrupt:
        pass
    finally:
        session.close()
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description="Starts tarvix under Wine: on $DISPLAY, or on a virtual display "
                                                 "for a screenshot (TARVIX_ARTIFACTS or build/artifacts).")
    parser.add_argument("--dist", help=f"program folder (default {DEFAULT_DIST})")
    parser.add_argument("--classic", action="store_true", help="edition 1.0")
    parser.add_argument("--keep", action="store_true", help="keep running until Ctrl+C")
    parser.add_argument("--virtual", action="store_true", help="a virtual display even when $DISPLAY is set")
    return start(parser.parse_args(argv))


if __name__ == "__main__":
    sys.exit(main())
