#!/usr/bin/env python3
"""Checks the links of the help page and the README: every "#name" reaches an id (HTML) or a
heading (Markdown) of the same file, every relative file link and picture exists, and the help
page, which is opened from the program's folder on its own, loads nothing from elsewhere.

    help_links.py FILE.html|FILE.md...      (exit code 1 and one line per fault)
"""

import html.parser
import os
import re
import sys
from urllib.parse import unquote


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.loads, self.faults = set(), [], [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if a.get("id") in self.ids:
            self.faults.append("id used twice: " + a["id"])
        self.ids |= {a[k] for k in ("id", "name" if tag == "a" else "id") if a.get(k)}
        if tag == "a" and a.get("href") is not None:
            self.links.append(a["href"])
        self.loads += [a[k] for k in (("src",) if tag == "a" else ("src", "href")) if a.get(k)]

    def handle_data(self, data):
        self.loads += re.findall(r"url\(\s*['\"]?([^'\")]+)", data)  # style sheets


def slug(heading):
    """The anchor a Markdown heading gets (as GitHub makes it)."""
    text = re.sub(r"[`*_]|\[([^\]]*)\]\([^)]*\)", r"\1", heading.strip().lower())
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def check_target(path, target, anchors, where):
    if target.startswith("#"):
        return [] if unquote(target[1:]) in anchors else ["%s: no anchor for %s" % (where, target)]
    file = unquote(target.split("#")[0])
    if re.match(r"^(https?|mailto):", target, re.I) or \
            os.path.exists(os.path.join(os.path.dirname(path), file)):
        return []
    return ["%s: no such file: %s" % (where, file)]


def check(path):
    with open(path, encoding="utf-8" if path.endswith(".md") else "cp1252") as f:
        text = f.read()
    if path.endswith(".md"):
        text = re.sub(r"```.*?```", "", text, flags=re.S)
        anchors = {slug(h) for h in re.findall(r"^#{1,6}\s+(.*?)\s*#*$", text, re.M)}
        return [fault for n, line in enumerate(text.splitlines(), 1)
                for target in re.findall(r"\]\(\s*<?([^)\s>]+)", line)
                for fault in check_target(path, target, anchors, "%s:%d" % (path, n))]
    page = Page()
    page.feed(text)
    return (["%s: %s" % (path, f) for f in page.faults] +
            [f for href in page.links for f in check_target(path, href, page.ids, path)] +
            ["%s: loads %s; the page must stand alone" % (path, src) for src in page.loads
             if not src.startswith("data:")])


if __name__ == "__main__":
    faults = [f for path in sys.argv[1:] for f in check(path)]
    print("\n".join(faults))
    sys.exit(1 if faults or len(sys.argv) < 2 else 0)
