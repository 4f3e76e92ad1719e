#!/usr/bin/python3
"""Reads every golden SubRip file with two independent readers.

For each fixtures/NAME.srt, Python's srt module must parse it into exactly the
cues listed in fixtures/NAME.cues.json (start, end, text), and ffmpeg must
convert it without an error into the same number of subtitle events. A missing
reader is a failure, not a skip: CI installs both.
"""
import datetime
import json
import pathlib
import subprocess
import sys

import srt  # Debian: python3-srt


def timestamp(delta: datetime.timedelta) -> str:
    ms = delta // datetime.timedelta(milliseconds=1)
    return "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)


def check(path: pathlib.Path) -> list:
    problems = []
    data = path.read_bytes()
    expected = json.loads(path.with_suffix(".cues.json").read_text(encoding="utf-8"))

    cues = list(srt.parse(data.decode("utf-8"), ignore_errors=False))
    if len(cues) != len(expected):
        problems.append(f"{path.name}: srt read {len(cues)} cues, expected {len(expected)}")
    for index, (cue, want) in enumerate(zip(cues, expected), start=1):
        got = {"start": timestamp(cue.start), "end": timestamp(cue.end), "text": cue.content}
        if cue.index != index or got != want:
            problems.append(f"{path.name}: cue {index}: read {got} (index {cue.index}), expected {want}")
            break

    run = subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", str(path), "-f", "ass", "-"],
                         capture_output=True)
    if run.returncode != 0 or run.stderr.strip():
        problems.append(f"{path.name}: ffmpeg failed: {run.stderr.decode(errors='replace')[:500]}")
    else:
        events = [l for l in run.stdout.decode("utf-8").splitlines() if l.startswith("Dialogue:")]
        if len(events) != len(expected):
            problems.append(f"{path.name}: ffmpeg read {len(events)} events, expected {len(expected)}")
    return problems


def main() -> int:
    folder = pathlib.Path(sys.argv[1])
    files = sorted(folder.glob("*.srt"))
    if not files:
        print(f"no SubRip files in {folder}")
        return 1
    problems = [p for f in files for p in check(f)]
    for p in problems:
        print(p)
    print(f"{len(files)} SubRip files checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
