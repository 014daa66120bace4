#!/usr/bin/env python3
"""Checks that what the README (its part for parents) and the help page call by name is in the program: every name they
mark (README: **bold**; help page: class="ui") is a caption, menu item, title or message of the
program or of its setup, as their sources write them; every folder or file they give in code
(`...` or <code>) ends in a name the program or the setup uses; and wherever the 64-bit
"C:\\Program Files\\Quorvane" is named, the folder of the 32-bit setup on 64-bit Windows is named
too.

    doc_names.py SOURCE_ROOT FILE.md|FILE.html...      (exit code 1 and one line per fault)
"""

import html
import os
import re
import sys

OWN_FOLDER = r"C:\Program Files\Quorvane"
WOW_FOLDER = r"C:\Program Files (x86)\Quorvane"


def normal(text):
    """A caption as the user reads it: no access-key '&', single spaces, no surrounding space."""
    return re.sub(r"\s+", " ", text.replace("&", "")).strip()


def program_texts(root):
    """Every string literal of the program's sources and of the setup script, as read."""
    texts = set()
    with open(os.path.join(root, "res", "version.h"), encoding="utf-8") as f:
        version = ".".join(re.findall(r"#define QV_VERSION_(?:MAJOR|MINOR) (\d+)", f.read()))
    # C++ string literals, skipping comments; the setup's and the build's, skipping comment lines
    cpp = re.compile(r'"((?:[^"\\\n]|\\.)*)"|//[^\n]*|/\*.*?\*/', re.S)
    script = re.compile(r'^\s*[;#][^\n]*|"([^"\n]*)"', re.M)
    for folder, pattern in (("src", cpp), ("installer", script), ("cmake", script)):
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if not name.endswith((".cpp", ".h", ".nsi", "installer.cmake")):
                    continue
                with open(os.path.join(base, name), encoding="utf-8") as f:
                    source = re.sub(r"\$\{(QV_)?VERSION\}", version, f.read())
                if "MB_YESNO" in source:  # the buttons Windows puts in such a message box
                    texts |= {"Yes", "No"}
                for m in pattern.finditer(source):
                    if m.group(1) is None:
                        continue
                    literal = m.group(1).replace("\\\\", "\\").replace('\\"', '"')
                    literal = literal.replace("$\\n", "\n")  # NSIS line breaks
                    texts.add(normal(literal))
    return texts


def marked(path):
    """(line, name) for each UI name and (line, path) for each folder or file the page marks."""
    with open(path, encoding="utf-8" if path.endswith(".md") else "cp1252") as f:
        text = f.read()
    if path.endswith(".md"):
        # the part for parents: the developers' part names the build's files
        part = re.search(r"^## For parents$.*?(?=^## )", text, re.M | re.S)
        text = text[:part.start()].count("\n") * "\n" + part.group(0) if part else text
        text = re.sub(r"```.*?```", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
        text = re.sub(r"!?\[[^\]]*\]\([^)]*\)", "", text)  # links and pictures
        names = [(m, normal(m.group(1))) for m in re.finditer(r"\*\*(.+?)\*\*", text, re.S)]
        codes = [(m, m.group(1)) for m in re.finditer(r"`([^`\n]+)`", text)]
    else:
        names = [(m, normal(html.unescape(re.sub(r"<[^>]+>", "", m.group(1)))))
                 for m in re.finditer(r'<(?:span|td|b)\s+class="ui">(.*?)</(?:span|td|b)>', text, re.S)]
        codes = [(m, html.unescape(m.group(1))) for m in re.finditer(r"<code>(.*?)</code>", text, re.S)]
    line = lambda m: text.count("\n", 0, m.start()) + 1  # noqa: E731
    paragraphs = re.split(r"\n\s*\n|</p>|</li>|</td>", text)
    return ([(line(m), n) for m, n in names], [(line(m), c) for m, c in codes], paragraphs)


def known(name, texts):
    """A caption as written, or (for a message) a sentence of one."""
    if name in texts:
        return True
    return len(name.split()) >= 4 and any(name in t for t in texts)


def check(path, texts):
    names, codes, paragraphs = marked(path)
    faults = ["%s:%d: %r is marked as a name the program shows, and it shows none such" % (path, n, name)
              for n, name in names if not known(name, texts)]
    for n, code in codes:
        if re.search(r"^[A-Z]:\\|^HKEY_|\.(exe|wav|html|log)$", code):
            last = re.split(r"[\\/]", code.rstrip("\\"))[-1]
            if not any(last in t for t in texts) and last not in ("Program Files", "ProgramData"):
                faults.append("%s:%d: %s: the program knows no %r" % (path, n, code, last))
    for p in paragraphs:
        if OWN_FOLDER.lower() in p.lower() and WOW_FOLDER.lower() not in p.lower():
            faults.append("%s: %s named without %s: %r" % (path, OWN_FOLDER, WOW_FOLDER,
                                                          normal(re.sub(r"<[^>]+>", "", p))[:80]))
    if not names:
        faults.append("%s: no UI names marked" % path)
    return faults


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    texts = program_texts(sys.argv[1])
    faults = [f for path in sys.argv[2:] for f in check(path, texts)]
    print("\n".join(faults))
    sys.exit(1 if faults else 0)
