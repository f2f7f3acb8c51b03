#!/usr/bin/env python3
"""Folder and File on names the ANSI code page cannot hold, checked from Linux: the test makes a
tree with Japanese, Greek and emoji names, a script lists, sizes, copies, moves, renames and
removes under Wine, and this reader (nobody's code but Python's) compares bytes and presence.

Usage: files_from_linux_test.py WINE_RUN PREFIX RUNNER SCRIPT SCRATCH_PARENT"""
import filecmp
import os
import shutil
import stat
import subprocess
import sys
import tempfile

wine_run, prefix, runner, script, scratch_parent = sys.argv[1:6]
JAPANESE = "\u65e5\u672c\u8a9e.txt"
EMOJI = "\U0001F600.bin"
DELTA = "\u0394"
RENAMED = "\u540d\u524d.txt"


def units(name):
    data = name.encode("utf-16-le")
    return ".".join(format(int.from_bytes(data[i:i + 2], "little"), "x") for i in range(0, len(data), 2))


def make_tree(root):
    src = os.path.join(root, "src")
    os.makedirs(os.path.join(src, DELTA, "\u00fc"))
    files = {
        JAPANESE: "Japanese name\n".encode(),
        EMOJI: os.urandom(70000),
        "plain.txt": b"plain",
        os.path.join(DELTA, "deep.txt"): b"deep " * 100,
        os.path.join(DELTA, "\u00fc", "deeper.bin"): os.urandom(5000),
    }
    for name, data in files.items():
        with open(os.path.join(src, name), "wb") as f:
            f.write(data)
    read_only = os.path.join(root, "read-only.txt")
    with open(read_only, "wb") as f:
        f.write(b"keep me")
    os.chmod(read_only, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    return files


def same_trees(a, b):
    comparison = filecmp.dircmp(a, b)
    if comparison.left_only or comparison.right_only or comparison.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, comparison.common_files, shallow=False)
    return not mismatch and not errors and all(
        same_trees(os.path.join(a, d), os.path.join(b, d)) for d in comparison.common_dirs)


def main():
    os.makedirs(scratch_parent, exist_ok=True)
    root = tempfile.mkdtemp(prefix="files-linux-", dir=scratch_parent)
    try:
        files = make_tree(root)
        expected_copy = os.path.join(root, "expected")
        shutil.copytree(os.path.join(root, "src"), expected_copy)
        out_path = os.path.join(root, "out.txt")
        with open(out_path, "wb") as out:
            status = subprocess.run([wine_run, "--prefix", prefix, runner, script, "Z:" + root.replace("/", "\\")],
                                    stdout=out, stderr=subprocess.STDOUT, cwd=root, timeout=90).returncode
        if status == 77:
            return 77
        got = open(out_path, "rb").read().decode("latin-1").replace("\r\n", "\n")
        sizes = sum(len(data) for data in files.values())
        text_files = sorted(units(n) for n in (JAPANESE, "plain.txt"))
        expected = "\n".join([
            "files: " + " ".join(sorted(units(n) for n in (JAPANESE, EMOJI, "plain.txt"))),
            "subFolders: " + units(DELTA),
            "files(*.txt): " + " ".join(text_files),
            "size: %d" % sizes,
            "path below: %s true" % units(DELTA),
            "copy the tree: true",
            "copy onto itself: false",
            "copy over a read-only file: false",
            "copy into its own subtree: false",
            "move: true",
            "rename: " + units(RENAMED),
            "remove: true",
        ]) + "\n"
        problems = []
        if status != 0 or got != expected:
            problems.append("script output differs (status %d):\n--- expected\n%s--- got\n%s" % (status, expected, got))
        src, dst = os.path.join(root, "src"), os.path.join(root, "dst")
        # The copy holds everything the source held, less the file renamed and then removed.
        os.remove(os.path.join(expected_copy, JAPANESE))
        if not same_trees(expected_copy, dst):
            problems.append("the copied tree differs from the source")
        if os.path.exists(os.path.join(dst, RENAMED)):
            problems.append("the removed file is still there")
        with open(os.path.join(src, JAPANESE), "rb") as f:
            if f.read() != files[JAPANESE]:
                problems.append("copying a file onto itself changed it")
        with open(os.path.join(root, "read-only.txt"), "rb") as f:
            if f.read() != b"keep me":
                problems.append("the read-only file was written")
        if os.path.exists(os.path.join(src, DELTA, "inside")):
            problems.append("the tree was copied into itself")
        moved = os.path.join(root, "moved", EMOJI)
        if os.path.exists(os.path.join(src, EMOJI)) or not os.path.exists(moved):
            problems.append("the emoji file did not move")
        elif open(moved, "rb").read() != files[EMOJI]:
            problems.append("the moved file's bytes differ")
        for problem in problems:
            print(problem)
        return 1 if problems else 0
    finally:
        os.chmod(os.path.join(root, "read-only.txt"), stat.S_IRUSR | stat.S_IWUSR)
        shutil.rmtree(root, ignore_errors=True)


sys.exit(main())
