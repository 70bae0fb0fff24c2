#!/usr/bin/env python3
"""Plants plausible one-line bugs in src/, one at a time, and reports which ones the test
suite catches.

Each mutant in the list file is a block:

    # what the bug is
    file: src/chat/ChatSession.cpp
    - text as it stands (must occur exactly once in the file)
    + text that replaces it

For each mutant the file is changed, the build folder is brought up to date, and CTest runs
until the first failing test; then the file is put back. A mutant whose text no longer
occurs is reported stale, one that does not compile is reported as such; neither counts.

    tools/mutation/mutate.py BUILD_DIR [LIST] [--only SUBSTRING]

BUILD_DIR is best configured with -DBUILD_SHARED_LIBS=ON -DCMAKE_LINK_DEPENDS_NO_SHARED=ON, so
that a change inside the libraries relinks one library instead of every test program.
"""
import argparse
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]


def read_mutants(path):
    mutants, current = [], None
    for raw in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if raw.startswith("# "):
            current = {"what": raw[2:].strip(), "old": [], "new": []}
            mutants.append(current)
        elif raw.startswith("file: "):
            current["file"] = raw[6:].strip()
        elif raw.startswith("- "):
            current["old"].append(raw[2:])
        elif raw.startswith("+ "):
            current["new"].append(raw[2:])
        elif raw.strip() == "+":
            current["new"].append("")
    for m in mutants:
        m["old"], m["new"] = "\n".join(m["old"]), "\n".join(m["new"])
    return mutants


def run(command, timeout, env=None):
    try:
        return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout, env=env, text=True, errors="replace")
    except subprocess.TimeoutExpired:
        return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("list", nargs="?", default=str(ROOT / "tools/mutation/mutants.txt"))
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
               QT_LOGGING_RULES="qt.multimedia*=false;qt.core.qobject.connect=false")
    results = []
    for mutant in read_mutants(args.list):
        if args.only and args.only not in mutant["file"] + mutant["what"]:
            continue
        path = ROOT / mutant["file"]
        original = path.read_text(encoding="utf-8")
        if original.count(mutant["old"]) != 1:
            results.append((mutant, "stale", 0, ""))
            print(f"stale    {mutant['file']}: {mutant['what']}", flush=True)
            continue
        started = time.time()
        try:
            path.write_text(original.replace(mutant["old"], mutant["new"]), encoding="utf-8")
            build = run(["cmake", "--build", args.build], 1800)
            if build is None or build.returncode != 0:
                verdict, detail = "nobuild", ""
            else:
                test = run(["ctest", "--test-dir", args.build, "--stop-on-failure",
                            "--parallel", "2", "--timeout", "180"], 3600, env)
                caught = test is None or test.returncode != 0
                verdict = "caught" if caught else "MISSED"
                detail = next((line.strip() for line in (test.stdout if test else "timeout").splitlines()
                               if "***" in line or "(Failed)" in line or "Failed  " in line), "")
        finally:
            path.write_text(original, encoding="utf-8")
        seconds = time.time() - started
        results.append((mutant, verdict, seconds, detail))
        print(f"{verdict:8} {mutant['file']}: {mutant['what']}  [{seconds:.0f} s] {detail}",
              flush=True)
    run(["cmake", "--build", args.build], 1800)
    counted = [r for r in results if r[1] in ("caught", "MISSED")]
    caught = sum(1 for r in counted if r[1] == "caught")
    print(f"caught {caught} of {len(counted)}"
          + (f" ({100 * caught / len(counted):.0f} %)" if counted else "")
          + f"; stale {sum(1 for r in results if r[1] == 'stale')},"
          + f" not compiling {sum(1 for r in results if r[1] == 'nobuild')}")
    return 0 if counted and caught == len(counted) else 1


if __name__ == "__main__":
    sys.exit(main())
