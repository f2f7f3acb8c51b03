#!/usr/bin/env python3
"""The script-object reference cannot drift from the class tables.

    class_reference_test.py DOCS_DIR LISTING [--write]

LISTING is what `vexil --classes` printed for this build. The test fails when
docs/reference/classes.md differs from it (run with --write to update the file after adding
members), and when a class or a member in it is not described by hand: every class must have a
heading in a page under docs/objects/ (or docs/language.md) that names it, and every member must
appear in that page in backticks. The ECMAScript built-ins are described by the language page as
a whole and are only listed.
"""
import pathlib
import re
import sys

# Classes that behave as their ECMAScript namesakes; the language page covers them.
STANDARD = {"Object", "Function", "Boolean", "Number", "String", "Array", "Math", "Date", "RegExp"}


def sections(listing):
    """(class name, [member names]) in listing order."""
    found = []
    for block in re.split(r"^## ", listing, flags=re.M)[1:]:
        name, _, body = block.partition("\n")
        members = re.findall(r"^\| `([^`]+)` \|", body, flags=re.M)
        found.append((name.strip(), members))
    return found


def page_for(name, pages):
    heading = re.compile(r"^#+ .*(?<![\w$])`?" + re.escape(name) + r"`?(?![\w$])", re.M)
    for path, text in pages.items():
        if heading.search(text):
            return path
    return None


def main():
    docs = pathlib.Path(sys.argv[1])
    listing = pathlib.Path(sys.argv[2]).read_text(encoding="utf-8").replace("\r\n", "\n")
    reference = docs / "reference" / "classes.md"
    if "--write" in sys.argv:
        reference.parent.mkdir(exist_ok=True)
        reference.write_text(listing, encoding="utf-8")
    problems = []
    if not reference.exists() or reference.read_text(encoding="utf-8") != listing:
        problems.append(f"{reference} is not what `vexil --classes` prints: update it with --write")
    pages = {p: p.read_text(encoding="utf-8") for p in sorted((docs / "objects").glob("*.md"))}
    pages[docs / "language.md"] = (docs / "language.md").read_text(encoding="utf-8")
    for name, members in sections(listing):
        if name in STANDARD:
            continue
        if name == "Functions":
            # Global functions are described where their area is: every page with a heading
            # about functions counts.
            described = [p for p, t in pages.items() if re.search(r"^#+ .*functions", t, re.M | re.I)]
        else:
            described = [p for p in [page_for(name, pages)] if p]
        if not described:
            problems.append(f"class {name}: no page under docs/objects/ has a heading naming it")
            continue
        text = "\n".join(pages[p] for p in described)
        missing = [m for m in members if not re.search(r"`[^`\n]*(?<![\w$])" + re.escape(m) + r"(?![\w$])[^`\n]*`", text)]
        if missing:
            where = ", ".join(p.name for p in described)
            problems.append(f"class {name} ({where}): members not described: {', '.join(missing)}")
    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"reference: {len(sections(listing))} classes listed, every one described")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
