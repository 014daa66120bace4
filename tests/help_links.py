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

WEB = re.compile(r"^(https?|mailto):", re.I)


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.loads, self.duplicates = set(), [], [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for key in ("id", "name" if tag == "a" else None):
            if key and a.get(key):
                if a[key] in self.ids and key == "id":
                    self.duplicates.append(a[key])
                self.ids.add(a[key])
        if tag == "a" and a.get("href") is not None:
            self.links.append(a["href"])
        for key in ("src", "href") if tag != "a" else ("src",):
            if a.get(key):
                self.loads.append(a[key])

    def handle_data(self, data):
        self.loads += re.findall(r"url\(\s*['\"]?([^'\")]+)", data)  # style sheets


def slug(heading):
    """The anchor a Markdown heading gets (as GitHub makes it)."""
    text = re.sub(r"[`*_]|\[([^\]]*)\]\([^)]*\)", r"\1", heading.strip().lower())
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def check_file(path, target, anchors, where):
    faults = []
    if target.startswith("#"):
        if unquote(target[1:]) not in anchors:
            faults.append("%s: no anchor for %s" % (where, target))
    elif not WEB.match(target):
        file = unquote(target.split("#")[0])
        if not os.path.exists(os.path.join(os.path.dirname(path), file)):
            faults.append("%s: no such file: %s" % (where, file))
    return faults


def check_html(path, text):
    page = Page()
    page.feed(text)
    faults = ["%s: id used twice: %s" % (path, d) for d in page.duplicates]
    for href in page.links:
        faults += check_file(path, href, page.ids, path)
    faults += ["%s: loads %s; the page must stand alone" % (path, src) for src in page.loads
               if not src.startswith("data:")]
    return faults


def check_markdown(path, text):
    text = re.sub(r"```.*?```", "", text, flags=re.S)
    anchors = {slug(h) for h in re.findall(r"^#{1,6}\s+(.*?)\s*#*$", text, re.M)}
    faults = []
    for n, line in enumerate(text.splitlines(), 1):
        for target in re.findall(r"\]\(\s*<?([^)\s>]+)", line):
            faults += check_file(path, target, anchors, "%s:%d" % (path, n))
    return faults


def main(paths):
    faults = []
    for path in paths:
        with open(path, encoding="utf-8" if path.endswith(".md") else "cp1252") as f:
            text = f.read()
        faults += (check_markdown if path.endswith(".md") else check_html)(path, text)
    for fault in faults:
        print(fault)
    return 1 if faults or not paths else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
