#!/usr/bin/env python3
"""Renders every reference movie of the swf-render corpus with swfrender and compares each
expected image with the corpus's compare.py, under the movie's own checks (strict) and under a
loose grade (tolerance 16, at most 1 % of the pixels off).

usage: render_corpus_test.py SWFRENDER CORPUS_DIR WORK_DIR FLOOR_FILE [--runner CMD]

Prints one line per image and the pass counts per tier. Fails only when swfrender crashes or a
movie listed in FLOOR_FILE (movies that passed the loose grade before) no longer passes it; every
other failure is listed, not hidden. Exits 77 (skipped) when the corpus is absent.
"""
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys

LOOSE_TOLERANCE = 16
LOOSE_SHARE = 0.01
RENDER_TIMEOUT = 60


def run(command):
    try:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=RENDER_TIMEOUT)
        return done.returncode, done.stdout.decode("utf-8", "replace").strip()
    except subprocess.TimeoutExpired:
        return None, "timed out"


def compare(compare_py, rendered, expected, checks, count):
    command = [sys.executable, compare_py, rendered, expected, "--count", count]
    for tolerance, outliers in checks:
        command += ["--check", f"{tolerance}:{outliers}"]
    status, output = run(command)
    return status == 0, output


def main():
    args = sys.argv[1:]
    runner = []
    if "--runner" in args:
        at = args.index("--runner")
        runner = shlex.split(args[at + 1])
        del args[at:at + 2]
    if len(args) != 4:
        print(__doc__)
        return 2
    swfrender, corpus, work, floor_file = args
    if not os.path.isfile(os.path.join(corpus, "compare.py")):
        print(f"corpus not found at {corpus}: skipped")
        return 77
    compare_py = os.path.join(corpus, "compare.py")
    with open(floor_file, encoding="utf-8") as f:
        floor = {line.strip() for line in f if line.strip() and not line.startswith("#")}
    os.makedirs(work, exist_ok=True)
    jobs = []
    for name in sorted(os.listdir(corpus)):
        meta_path = os.path.join(corpus, name, "meta.json")
        if not os.path.isfile(meta_path):
            continue
        with open(meta_path, encoding="utf-8") as f:
            meta = json.load(f)
        for index, image in enumerate(meta["images"]):
            jobs.append((name, meta, index, image))

    def check(job):
        name, meta, index, image = job
        width, height = image["size"]
        quality = meta["run"].get("quality") or "high"
        out = os.path.join(work, f"{name}-{index}.png")
        if os.path.exists(out):
            os.remove(out)
        status, output = run(runner + [swfrender, os.path.join(corpus, name, "test.swf"),
                                       "--frames", str(image["capture_after"]), "--width", str(width),
                                       "--height", str(height), "--quality", quality, "--out", out])
        if status not in (0, 1):
            return "crash", False, False, f"swfrender exit {status}: {output}"
        if status != 0:
            return "error", False, False, output
        expected = os.path.join(corpus, name, image["file"])
        checks = [(c["tolerance"], c["max_outliers"]) for c in image["all_checks"]]
        strict, _ = compare(compare_py, out, expected, checks, "channels")
        loose, loose_text = compare(compare_py, out, expected, [(LOOSE_TOLERANCE, int(width * height * LOOSE_SHARE))],
                                    "pixels")
        return "ok", strict, loose, loose_text

    # Two at a time: the machine is shared, and compare.py spends most of the time.
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        results = list(pool.map(check, jobs))

    tiers = {}
    movies = {}
    crashed = []
    for (name, meta, index, image), (state, strict, loose, text) in zip(jobs, results):
        tier = meta["tier"]
        print(f"{name}[{index}] {tier}: strict {'PASS' if strict else 'FAIL'}, loose {'PASS' if loose else 'FAIL'}: {text}")
        if state == "crash":
            crashed.append(f"{name}: {text}")
        entry = movies.setdefault(name, [tier, True, True])
        entry[1] &= strict
        entry[2] &= loose
    failures = []
    for name, (tier, strict, loose) in movies.items():
        counts = tiers.setdefault(tier, {"movies": 0, "strict": 0, "loose": 0})
        counts["movies"] += 1
        counts["strict"] += strict
        counts["loose"] += loose
        if not loose:
            failures.append((tier, name))
    print()
    print(f"{len(jobs)} images of {len(movies)} movies")
    for tier in sorted(tiers):
        c = tiers[tier]
        print(f"tier {tier}: {c['movies']} movies, strict {c['strict']}, loose {c['loose']}")
    print("loose failures: " + (", ".join(f"{n} ({t})" for t, n in failures) or "none"))
    regressed = sorted(n for t, n in failures if n in floor)
    for line in crashed:
        print("CRASH " + line)
    if regressed:
        print("REGRESSED below the recorded floor: " + ", ".join(regressed))
    return 1 if crashed or regressed else 0


if __name__ == "__main__":
    sys.exit(main())
