#!/usr/bin/python3
"""Compares the MIME reader and writer with Python's email package.

1. Every msg_*.txt message of Python's own email test data (Debian's libpython3-testsuite) is read
   by both; header fields, the parts (as the reader classifies them), their content types, names
   and decoded bodies must agree.
2. Every sample message the writer composes is parsed by Python into the parts and bytes that
   were put in.

usage: mime_python_agreement_test.py MIME_PROBE SCRATCH_DIR
"""
import email
import email.header
import email.policy
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import sysconfig

# Where the two readers part ways on purpose, and why.
KNOWN_DIFFERENCES = {
    # A multipart nested in another with the same boundary, empty before the next delimiter:
    # Python keeps one line break as its body, we read it as empty.
    "msg_15.txt: attachments 0 body differs (0 bytes, Python 1)",
}

SIMPLE_CHARSETS = {None, "us-ascii", "utf-8", "iso-8859-1", "latin1", "unknown-8bit"}


def decoded_header(raw):
    """The header text with encoded words decoded, as UTF-8 bytes; None when a charset is one the
    reader leaves as raw bytes (the comparison is then skipped)."""
    if raw is None:
        return None
    pieces = email.header.decode_header(str(raw))
    if any(charset not in SIMPLE_CHARSETS for _, charset in pieces):
        return None
    return str(email.header.make_header(pieces)).encode("utf-8", "surrogateescape")


def squeeze(data):
    return re.sub(rb"\s+", b" ", data).strip()


def safe_name(name):
    name = re.split(r"[\\/]", name)[-1]
    if len(name) >= 2 and name[1] == ":":
        name = name[2:]
    name = "".join("_" if c in '<>:"|?*' else c for c in name if ord(c) >= 32 and ord(c) != 127)
    return name.rstrip(" .").lstrip(" ")


def leaves(part, depth=0):
    """The leaf parts in order, as the reader walks them: message/* parts are leaves too."""
    if part.get_content_maintype() == "multipart" and isinstance(part.get_payload(), list) and depth < 32:
        if not part.get_payload():
            yield part
        for sub in part.get_payload():
            yield from leaves(sub, depth + 1)
    else:
        yield part


def media_type(part):
    value = part.get("content-type")
    if value is None:
        return part.get_default_type()
    declared = str(value).split(";")[0].strip().lower()
    return declared if "/" in declared else "text/plain"


def body_of(part):
    if isinstance(part.get_payload(), list):
        return None  # a message/* part: Python keeps it parsed, so its bytes are not compared
    return part.get_payload(decode=True)


def python_view(message):
    view = {"text": None, "html": None, "attachments": [], "items": []}
    for part in leaves(message):
        kind = media_type(part)
        attachment = part.get_content_disposition() == "attachment"
        body = body_of(part)
        if not attachment and kind == "text/html" and view["html"] is None:
            view["html"] = body
        elif not attachment and kind.startswith("text/") and view["text"] is None:
            view["text"] = body
        else:
            is_item = not attachment and view["html"] is not None and part.get_param("name") is not None
            raw_name = part.get_filename()
            name = None
            if raw_name is not None:
                decoded = decoded_header(email.utils.collapse_rfc2231_value(raw_name))
                name = safe_name(decoded.decode("utf-8", "surrogateescape")) if decoded is not None else "?"
            group = view["items"] if is_item else view["attachments"]
            if not name:
                name = "attachment %d" % (len(group) + 1)
            cid = str(part.get("content-id", "")).strip()
            if cid.startswith("<") and cid.endswith(">"):
                cid = cid[1:-1]
            group.append({"type": kind, "name": name, "id": cid if is_item else "", "body": body})
    return view


def ours(entry):
    return None if entry is None else bytes.fromhex(entry)


def compare(label, python, probe, message, problems):
    for field in ("from", "to", "subject", "cc", "replyTo", "date"):
        header = {"replyTo": "reply-to"}.get(field, field)
        theirs = decoded_header(message.get(header))
        if theirs is None and message.get(header) is not None:
            continue
        mine = ours(probe[field])
        if (theirs is None) != (mine is None) or (mine is not None and squeeze(mine) != squeeze(theirs)):
            problems.append("%s: header %s: ours %r, Python %r" % (label, field, mine, theirs))
    for field in ("text", "html"):
        mine, theirs = ours(probe[field]), python[field]
        if (mine or b"") != (theirs or b""):
            problems.append("%s: %s body differs: ours %r, Python %r" % (label, field, (mine or b"")[:80], (theirs or b"")[:80]))
    for group in ("attachments", "items"):
        mine, theirs = probe[group], python[group]
        if len(mine) != len(theirs):
            problems.append("%s: %d %s, Python %d" % (label, len(mine), group, len(theirs)))
            continue
        for i, (m, t) in enumerate(zip(mine, theirs)):
            if ours(m["type"]).decode() != t["type"]:
                problems.append("%s: %s %d type %s, Python %s" % (label, group, i, ours(m["type"]), t["type"]))
            if t["name"] != "?" and ours(m["name"]).decode("utf-8", "surrogateescape") != t["name"]:
                problems.append("%s: %s %d name %r, Python %r" % (label, group, i, ours(m["name"]), t["name"]))
            if ours(m["id"]).decode("utf-8", "surrogateescape") != t["id"]:
                problems.append("%s: %s %d id %r, Python %r" % (label, group, i, ours(m["id"]), t["id"]))
            if t["body"] is not None and ours(m["body"]) != t["body"]:
                problems.append("%s: %s %d body differs (%d bytes, Python %d)" % (label, group, i, len(ours(m["body"])), len(t["body"])))


def main():
    probe, scratch = sys.argv[1], sys.argv[2]
    data = os.path.join(sysconfig.get_paths()["stdlib"], "test", "test_email", "data")
    corpus = sorted(glob.glob(os.path.join(data, "msg_*.txt")))
    if not corpus:
        print("Python's email test data is missing (Debian package libpython3-testsuite): skipped")
        return 77
    problems = []
    for path in corpus:
        with open(path, "rb") as f:
            message = email.message_from_bytes(f.read(), policy=email.policy.compat32)
        out = subprocess.run([probe, "read", path], capture_output=True, check=True).stdout
        compare(os.path.basename(path), python_view(message), json.loads(out), message, problems)

    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    subprocess.run([probe, "compose", scratch], check=True)
    composed = sorted(glob.glob(os.path.join(scratch, "*.eml")))
    for path in composed:
        with open(path, "rb") as f:
            raw = f.read()
        message = email.message_from_bytes(raw, policy=email.policy.compat32)
        if message.defects:
            problems.append("%s: Python found defects %r" % (os.path.basename(path), message.defects))
        with open(path[:-4] + ".json") as f:
            expected = json.load(f)
        for part in leaves(message):
            if part.defects:
                problems.append("%s: Python found part defects %r" % (os.path.basename(path), part.defects))
        compare(os.path.basename(path), python_view(message), expected, message, problems)
    shutil.rmtree(scratch, ignore_errors=True)

    problems = [p for p in problems if p not in KNOWN_DIFFERENCES]
    for problem in problems:
        print(problem)
    print("%d corpus messages and %d composed messages compared: %d disagreements"
          % (len(corpus), len(composed), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
