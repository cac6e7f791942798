#!/usr/bin/env python3
"""Checks that every link of an HTML manual resolves inside its own folder, without network.

Usage: check-manual-links.py FOLDER

Every href and src of every .html page, and every url() of every .css file, must name a file
inside FOLDER (a folder reference must hold index.html); a #fragment must name an id (or an
<a name>) of the page it points into. Links with a scheme (https:, mailto:, ...) are listed
as external and not followed. Exit code 0 when all resolve, 1 otherwise, 2 on a usage error.
"""

import os
import re
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []  # (line, url)
        self.anchors = set()

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if value is None:
                continue
            if name in ("href", "src"):
                self.links.append((self.getpos()[0], value))
            elif name == "srcset":
                for candidate in value.split(","):
                    if candidate.strip():
                        self.links.append((self.getpos()[0], candidate.split()[0]))
            elif name == "id" or (tag == "a" and name == "name"):
                self.anchors.add(value)
            elif name == "style":
                for url in CSS_URL.findall(value):
                    self.links.append((self.getpos()[0], url))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)


CSS_URL = re.compile(r"""url\(\s*['"]?([^'")]+?)['"]?\s*\)""")


def parse_page(path, cache):
    if path not in cache:
        page = Page()
        with open(path, encoding="utf-8", errors="replace") as f:
            page.feed(f.read())
        page.close()
        cache[path] = page
    return cache[path]


def check(root):
    root = os.path.realpath(root)
    problems = []
    external = []
    pages = {}
    checked = 0
    for folder, _, files in os.walk(root):
        for name in sorted(files):
            path = os.path.join(folder, name)
            if name.endswith((".html", ".htm")):
                links = parse_page(path, pages).links
            elif name.endswith(".css"):
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                links = [(text.count("\n", 0, m.start()) + 1, m.group(1))
                         for m in CSS_URL.finditer(text)]
            else:
                continue
            for line, url in links:
                checked += 1
                where = f"{os.path.relpath(path, root)}:{line}: {url}"
                parts = urlsplit(url.strip())
                if parts.scheme or parts.netloc:
                    external.append(where)
                    continue
                target = path
                if parts.path:
                    target = os.path.realpath(
                        os.path.join(os.path.dirname(path), unquote(parts.path)))
                    if os.path.isdir(target):
                        target = os.path.join(target, "index.html")
                    if os.path.commonpath([root, target]) != root:
                        problems.append(f"{where}: outside the manual")
                        continue
                    if not os.path.isfile(target):
                        problems.append(f"{where}: no such file")
                        continue
                if parts.fragment:
                    if not target.endswith((".html", ".htm")):
                        continue
                    if unquote(parts.fragment) not in parse_page(target, pages).anchors:
                        problems.append(f"{where}: no such anchor")
    return checked, problems, external


def main(argv):
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    checked, problems, external = check(argv[1])
    for line in external:
        print(f"external (not followed): {line}")
    for line in problems:
        print(line, file=sys.stderr)
    print(f"{checked} links checked, {len(problems)} broken")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
