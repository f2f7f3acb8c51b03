#!/usr/bin/python3
"""Compares the Mail class with Python's email package, through the runner (natively or under Wine).

1. Mail loads every msg_*.txt of Python's own email test data (read where Python keeps it, never
   copied); its header fields, text and HTML bodies, part types, names and IDs (traced, escaped) and
   the saved attachments' bytes must agree with what Python reads.
2. Mail composes messages member by member (text, HTML, both, attachments of binary and text bytes
   with non-ASCII names, HTML items, non-ASCII fields, and parts kept from a loaded message in 7bit,
   quoted-printable and base64); Python must parse each without defects into the same fields,
   parts and bytes.

usage: mail_python_agreement_test.py SCRATCH_DIR [--wine] RUNNER...
"""
import email
import email.header
import email.policy
import email.utils
import glob
import os
import re
import shutil
import subprocess
import sys
import sysconfig

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from mime_python_agreement_test import KNOWN_DIFFERENCES, SIMPLE_CHARSETS, decoded_header, leaves, python_view, squeeze  # noqa: E402

# Where the class reads a body as text differently from Python on purpose.
CLASS_DIFFERENCES = set()


def unescape(text):
    """The script's escape(): %XX for a byte-sized unit, %uXXXX for the others."""
    return re.sub(r"%u([0-9A-Fa-f]{4})|%([0-9A-Fa-f]{2})",
                  lambda m: chr(int(m.group(1) or m.group(2), 16)), text)


class Runner:
    def __init__(self, scratch, wine, command):
        self.scratch, self.wine, self.command = scratch, wine, command

    def path(self, local):
        """A path as the script names it."""
        return ("Z:" + local.replace("/", "\\")) if self.wine else local

    def run(self, name, source):
        script = os.path.join(self.scratch, name + ".vxs")
        with open(script, "w", encoding="ascii") as f:
            f.write(source)
        out_path = os.path.join(self.scratch, name + ".trace")
        with open(out_path, "wb") as out:
            status = subprocess.run(self.command + [self.path(script)], stdout=out, stderr=subprocess.STDOUT,
                                    cwd=self.scratch, timeout=120).returncode
        with open(out_path, "rb") as f:
            lines = f.read().decode("ascii", "replace").replace("\r\n", "\n").split("\n")
        if status != 0:
            raise SystemExit("%s: the runner ended with %d:\n%s" % (name, status, "\n".join(lines[-20:])))
        return lines


def js(text):
    """A script expression for the text. String literals hold 8-bit units only (\\u escapes keep the
    low byte), so wider characters are made with String.fromCharCode."""
    out = []
    for c in text:
        if ord(c) > 0xFF:
            out.append('" + String.fromCharCode(%d) + "' % ord(c))
        elif 32 <= ord(c) < 127 and c not in '"\\':
            out.append(c)
        else:
            out.append("\\u%04x" % ord(c))
    return '("' + "".join(out) + '")'


DUMP = r"""
function dump(m, tag) {
  trace("message\t" + tag);
  trace("from\t" + escape(m.from));
  trace("to\t" + escape(m.to));
  trace("subject\t" + escape(m.subject));
  trace("cc\t" + escape(m.cc));
  trace("replyTo\t" + escape(m.replyTo));
  trace("date\t" + escape(m.date));
  trace("text\t" + escape(m.text));
  trace("html\t" + escape(m.html));
  for (var i = 0; i < m.attachmentCount; i++) {
    var type = m.getAttachmentContentType(i);
    var name = m.getAttachmentName(i);
    trace("attachment\t" + escape(type) + "\t" + escape(name));
    m.saveAttachment(i, tag + "-a" + i + ".bin");
  }
  for (var i = 0; i < m.htmlItemCount; i++) {
    var name = m.getHtmlItemName(i);
    var id = m.getHtmlItemID(i);
    trace("item\t" + escape(name) + "\t" + escape(id));
    m.saveHtmlItem(i, tag + "-i" + i + ".bin");
  }
}
"""


def read_dumps(lines, scratch):
    dumps, current = {}, None
    for line in lines:
        if not line:
            continue
        key, _, rest = line.partition("\t")
        if key == "message":
            current = dumps[rest] = {"attachments": [], "items": []}
            tag = rest
        elif key == "attachment":
            kind, name = rest.split("\t")
            path = os.path.join(scratch, "%s-a%d.bin" % (tag, len(current["attachments"])))
            current["attachments"].append({"type": unescape(kind), "name": unescape(name), "body": open(path, "rb").read()})
        elif key == "item":
            name, cid = rest.split("\t")
            path = os.path.join(scratch, "%s-i%d.bin" % (tag, len(current["items"])))
            current["items"].append({"name": unescape(name), "id": unescape(cid), "body": open(path, "rb").read()})
        elif current is not None:
            current[key] = unescape(rest)
        else:
            print("unexpected output: %s" % line)
    return dumps


def as_text(part_bytes, charset):
    """A body as the class gives it to scripts, or None when its charset is not one to compare."""
    charset = (charset or "utf-8").lower()
    if charset not in SIMPLE_CHARSETS and charset != "utf-8":
        return None
    try:
        if charset in ("iso-8859-1", "latin1"):
            return part_bytes.decode("latin-1")
        return part_bytes.decode("utf-8")
    except UnicodeDecodeError:
        return None


def body_charset(message, kind):
    for part in leaves(message):
        if part.get_content_type() == kind or (kind == "text/plain" and part.get_content_maintype() == "text"):
            return part.get_content_charset()
    return None


def compare(label, message, mine, problems, expected_view=None):
    view = expected_view or python_view(message)
    for field in ("from", "to", "subject", "cc", "replyTo", "date"):
        raw = message.get({"replyTo": "reply-to"}.get(field, field))
        theirs = decoded_header(raw)
        if theirs is None and raw is not None:
            continue
        theirs = squeeze(theirs or b"").decode("utf-8", "replace")
        ours = squeeze(mine[field].encode("utf-8", "surrogatepass")).decode("utf-8", "replace")
        if ours != theirs:
            problems.append("%s: header %s: ours %r, Python %r" % (label, field, ours, theirs))
    for field, kind in (("text", "text/plain"), ("html", "text/html")):
        body = view[field]
        theirs = as_text(body or b"", body_charset(message, kind))
        if theirs is not None and mine[field] != theirs:
            problems.append("%s: %s differs: ours %r, Python %r" % (label, field, mine[field][:80], theirs[:80]))
    for group in ("attachments", "items"):
        ours_list, theirs_list = mine[group], view[group]
        if len(ours_list) != len(theirs_list):
            problems.append("%s: %d %s, Python %d" % (label, len(ours_list), group, len(theirs_list)))
            continue
        for i, (m, t) in enumerate(zip(ours_list, theirs_list)):
            if group == "attachments" and m["type"] != t["type"]:
                problems.append("%s: %s %d type %s, Python %s" % (label, group, i, m["type"], t["type"]))
            if t["name"] != "?" and m["name"] != t["name"]:
                problems.append("%s: %s %d name %r, Python %r" % (label, group, i, m["name"], t["name"]))
            if group == "items" and m["id"] != t["id"]:
                problems.append("%s: %s %d id %r, Python %r" % (label, group, i, m["id"], t["id"]))
            if t["body"] is not None and m["body"] != t["body"]:
                problems.append("%s: %s %d body differs (%d bytes, Python %d)" % (label, group, i, len(m["body"]), len(t["body"])))


def loading(runner, corpus, problems):
    paths = ",\n  ".join(js(runner.path(p)) for p in corpus)
    source = DUMP + "var paths = [\n  " + paths + "];\n" + """
for (var k = 0; k < paths.length; k++) {
  var m = new Mail();
  m.load(paths[k]);
  dump(m, "corpus" + k);
}
"""
    dumps = read_dumps(runner.run("load", source), runner.scratch)
    for k, path in enumerate(corpus):
        with open(path, "rb") as f:
            message = email.message_from_bytes(f.read(), policy=email.policy.compat32)
        mine = dumps.get("corpus%d" % k)
        if mine is None:
            problems.append("%s: no dump" % os.path.basename(path))
            continue
        compare(os.path.basename(path), message, mine, problems)


KEPT_SOURCE = (
    b"From: kept@example.com\r\nTo: k@example.com\r\nSubject: kept parts\r\nMIME-Version: 1.0\r\n"
    b"Content-Type: multipart/mixed; boundary=\"outer\"\r\n\r\n"
    b"--outer\r\nContent-Type: text/plain; charset=us-ascii\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
    b"Seven bit text.\r\nSecond line.\r\n"
    b"--outer\r\nContent-Type: text/csv; name=\"q.csv\"\r\nContent-Transfer-Encoding: quoted-printable\r\n"
    b"Content-Disposition: attachment; filename=\"q.csv\"\r\n\r\na=3Db,caf=C3=A9\r\nsoft=\r\nbreak\r\n"
    b"--outer\r\nContent-Type: application/octet-stream; name=\"b.bin\"\r\nContent-Transfer-Encoding: base64\r\n"
    b"Content-Disposition: attachment; filename=\"b.bin\"\r\n\r\nAAECA/3+/w==\r\n"
    b"--outer--\r\n")


def composing(runner, problems):
    scratch = runner.scratch
    binary = bytes(range(256)) * 4
    files = {"binary.vxdata": binary, "notes.txt": "caf\u00e9\r\nline\n".encode("utf-8"),
             "pic.vxdata": b"\x89PNG\r\n\x1a\n" + bytes(100), "kept.eml": KEPT_SOURCE}
    nonascii = "d\u00f6nn\u00e9es \u00e9t\u00e9.vxdata"
    files[nonascii] = b"non-ascii name"
    for name, data in files.items():
        with open(os.path.join(scratch, name), "wb") as f:
            f.write(data)
    text = "Hello,\nthis line has trailing blanks   \nand = signs, caf\u00e9, \u65e5\u672c, " + "x" * 120 + "\nend."
    html = "<p>Hello <b>caf\u00e9</b> \u65e5\u672c</p>\n<img src=\"cid:pic1\">"
    samples = {
        "text": {"text": text},
        "html": {"html": html},
        "both": {"text": text, "html": html},
        "attachments": {"text": text, "attachments": ["binary.vxdata", "notes.txt", nonascii]},
        "attachment-only": {"attachments": ["binary.vxdata"]},
        "items": {"text": text, "html": html, "items": [["pic.vxdata", "pic1"]], "attachments": ["notes.txt"]},
        "items-no-attachment": {"html": html, "items": [["pic.vxdata", "pic1"]]},
        "fields": {"text": "x", "from": "J\u00fcrgen M\u00fcller <j@example.com>",
                   "to": "\u00c5sa <a@example.com>, b@example.com", "subject": "R\u00e9sum\u00e9 \u65e5\u672c " * 12,
                   "cc": "c@example.com", "replyTo": "r@example.com", "date": "Fri, 11 Dec 2026 09:00:00 +0000"},
    }
    lines = [DUMP]
    for name, s in samples.items():
        lines.append("var m = new Mail();")
        for field in ("from", "to", "subject", "cc", "replyTo", "date", "text", "html"):
            if field in s:
                lines.append("m.%s = %s;" % (field, js(s[field])))
        for a in s.get("attachments", []):
            lines.append("m.addAttachment(%s);" % js(runner.path(os.path.join(scratch, a))))
        for path, cid in s.get("items", []):
            lines.append("m.addHtmlItem(%s, %s);" % (js(runner.path(os.path.join(scratch, path))), js(cid)))
        lines.append("m.save(%s);" % js(name + ".eml"))
    # Parts kept from a loaded message in each encoding, through a change that recomposes.
    lines.append("var m = new Mail();")
    lines.append("m.load(%s);" % js("kept.eml"))
    lines.append("m.subject = \"kept parts, recomposed\";")
    lines.append("m.addAttachment(%s);" % js(runner.path(os.path.join(scratch, "notes.txt"))))
    lines.append("m.save(\"kept-recomposed.eml\");")
    runner.run("compose", "\n".join(lines) + "\n")

    kept = email.message_from_bytes(KEPT_SOURCE, policy=email.policy.compat32)
    kept_view = python_view(kept)
    for name, s in list(samples.items()) + [("kept-recomposed", None)]:
        with open(os.path.join(scratch, name + ".eml"), "rb") as f:
            raw = f.read()
        message = email.message_from_bytes(raw, policy=email.policy.compat32)
        label = name + ".eml"
        if message.defects or any(p.defects for p in leaves(message)):
            problems.append("%s: Python found defects" % label)
        if re.search(rb"(?<!\r)\n|\r(?!\n)", raw):
            problems.append("%s: a line break that is not CR LF" % label)
        if any(len(line) > 998 for line in raw.split(b"\r\n")):
            problems.append("%s: a line longer than 998 bytes" % label)
        view = python_view(message)
        if s is None:
            expected_text = kept_view["text"]
            expected = [(p["name"], p["body"]) for p in kept_view["attachments"]] + [("notes.txt", files["notes.txt"])]
            if view["text"] != expected_text:
                problems.append("%s: text %r, expected %r" % (label, view["text"], expected_text))
            if message["subject"] != "kept parts, recomposed":
                problems.append("%s: subject %r" % (label, message["subject"]))
        else:
            crlf = lambda t: t.replace("\n", "\r\n").encode("utf-8") if t is not None else None
            for field in ("text", "html"):
                if (view[field] or b"") != (crlf(s.get(field)) or b""):
                    problems.append("%s: %s %r, expected %r" % (label, field, view[field], crlf(s.get(field))))
            for field in ("from", "to", "subject", "cc", "replyTo", "date"):
                raw_field = message.get({"replyTo": "reply-to"}.get(field, field))
                got = decoded_header(raw_field)
                want = s.get(field)
                if want is not None and (got is None or squeeze(got) != squeeze(want.encode("utf-8"))):
                    problems.append("%s: %s %r, expected %r" % (label, field, got, want))
            expected = [(n, files[n]) for n in s.get("attachments", [])]
            items = [(p, cid, files[p]) for p, cid in s.get("items", [])]
            got_items = [(i["name"], i["id"], i["body"]) for i in view["items"]]
            if got_items != items:
                problems.append("%s: items %r, expected %r" % (label, [g[:2] for g in got_items], [i[:2] for i in items]))
        got = [(a["name"], a["body"]) for a in view["attachments"]]
        if got != expected:
            problems.append("%s: attachments %r, expected %r" % (label, [g[0] for g in got], [e[0] for e in expected]))
    return len(samples) + 1


def main():
    args = sys.argv[1:]
    scratch = os.path.abspath(args[0])
    wine = len(args) > 1 and args[1] == "--wine"
    command = args[2:] if wine else args[1:]
    data = os.path.join(sysconfig.get_paths()["stdlib"], "test", "test_email", "data")
    corpus = sorted(glob.glob(os.path.join(data, "msg_*.txt")))
    if not corpus:
        print("Python's email test data is missing (Debian package libpython3.11-testsuite): skipped")
        return 77
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    runner = Runner(scratch, wine, command)
    problems = []
    loading(runner, corpus, problems)
    if not problems and not glob.glob(os.path.join(scratch, "corpus*-a*.bin")):
        problems.append("no attachment of the corpus was saved: the comparison saw nothing")
    composed = composing(runner, problems)
    shutil.rmtree(scratch, ignore_errors=True)
    problems = [p for p in problems if p not in KNOWN_DIFFERENCES and p not in CLASS_DIFFERENCES]
    for problem in problems:
        print(problem)
    print("%d corpus messages loaded and %d messages composed by Mail: %d disagreements"
          % (len(corpus), composed, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
