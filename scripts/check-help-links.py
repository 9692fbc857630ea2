#!/usr/bin/env python3
"""Checks that every link, picture and style sheet of the built help guide resolves.

    check-help-links.py GUIDE_DIR

For every *.html file in GUIDE_DIR, each href and src that is not an outside address
(http:, https:, mailto:) must name a file inside GUIDE_DIR, and a "#anchor" must name an id of
that page. Prints each broken link and exits with 1 when there is one; index.html must exist.
"""

import os
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids = set()
        self.links = []  # (tag, attribute, value, line)

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("id", "name") and value:
                self.ids.add(value)
            if name in ("href", "src") and value is not None:
                self.links.append((tag, name, value, self.getpos()[0]))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = os.path.realpath(sys.argv[1])
    pages = {}
    for folder, _, files in os.walk(root):
        for name in files:
            if name.endswith(".html"):
                path = os.path.join(folder, name)
                page = Page()
                with open(path, encoding="utf-8") as f:
                    page.feed(f.read())
                pages[path] = page

    broken = []
    if os.path.join(root, "index.html") not in pages:
        broken.append(f"{root}: no index.html")
    checked = 0
    for path, page in sorted(pages.items()):
        for tag, attribute, value, line in page.links:
            where = f"{os.path.relpath(path, root)}:{line}: <{tag} {attribute}=\"{value}\">"
            parts = urlsplit(value)
            if parts.scheme in ("http", "https", "mailto"):
                continue
            checked += 1
            if parts.scheme or parts.netloc or value.startswith("/"):
                broken.append(f"{where} points outside the guide")
                continue
            target = os.path.realpath(os.path.join(os.path.dirname(path), unquote(parts.path)))
            if not parts.path:
                target = path
            if os.path.commonpath([root, target]) != root:
                broken.append(f"{where} points outside the guide")
            elif not os.path.isfile(target):
                broken.append(f"{where}: no such file")
            elif parts.fragment:
                if target not in pages:
                    broken.append(f"{where}: an anchor into a file that is not a page")
                elif unquote(parts.fragment) not in pages[target].ids:
                    broken.append(f"{where}: no id \"{parts.fragment}\" on that page")

    for line in broken:
        print(line)
    print(f"{len(pages)} pages, {checked} links and pictures checked, {len(broken)} broken")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
