#!/usr/bin/env python3
"""Turns the help guide's Markdown pages into HTML with python3-markdown.

    help-html.py SOURCE_DIR OUTPUT_DIR VERSION

Every page listed in SOURCE_DIR/contents.txt (one "file.md" a line, in the order of the guide's
navigation bar) becomes OUTPUT_DIR/file.html; links to other pages are written as "page.md" or
"page.md#anchor" in the source and point at the HTML pages in the output. Headings get ids made
from their text ("Paper Width" -> "paper-width"), so a link can name any heading. The style sheet
kestrel.css is copied beside the pages. The pictures are made by the build into OUTPUT_DIR/images.
"""

import html
import os
import re
import shutil
import sys

import markdown

TEMPLATE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title} - KESTREL help</title>
<link rel="stylesheet" href="kestrel.css">
</head>
<body>
<nav>
{nav}
</nav>
<main>
{body}
</main>
<footer>KESTREL {version}</footer>
</body>
</html>
"""


def page_title(text, name):
    match = re.search(r"^# (.+)$", text, re.MULTILINE)
    if not match:
        sys.exit(f"{name}: the page needs a '# Title' line")
    return match.group(1).strip()


def keep_blanks(body):
    """Runs of blanks in running text stay as they are: the program's texts have some
    ("Printer Error!!  Check the printer.", the tab caption "     Other     "), and HTML
    would show each run as one blank. Code blocks, tags and the indentation of lines are left
    alone."""
    parts = re.split(r"(<pre>.*?</pre>)", body, flags=re.DOTALL)
    for i in range(0, len(parts), 2):
        parts[i] = re.sub(r"(<[^>]*>)|(?<=\S)( {2,})",
                          lambda m: m.group(1) or "&nbsp;" * len(m.group(2)), parts[i])
    return "".join(parts)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, output, version = sys.argv[1:]
    with open(os.path.join(source, "contents.txt"), encoding="utf-8") as f:
        pages = [line.strip() for line in f if line.strip() and not line.startswith("#")]

    texts = {}
    for name in pages:
        with open(os.path.join(source, name), encoding="utf-8") as f:
            texts[name] = f.read()
    titles = {name: page_title(texts[name], name) for name in pages}

    os.makedirs(output, exist_ok=True)
    for name in pages:
        html_name = name[:-3] + ".html"
        nav = "\n".join(
            '<a href="{}"{}>{}</a>'.format(
                other[:-3] + ".html", ' class="here"' if other == name else "",
                html.escape(titles[other]))
            for other in pages)
        converter = markdown.Markdown(
            extensions=["tables", "fenced_code", "attr_list", "def_list", "sane_lists", "toc"],
            extension_configs={"toc": {"permalink": False}})
        body = converter.convert(texts[name])
        # Links between pages: "settings.md#paper-width" -> "settings.html#paper-width".
        body = re.sub(r'href="([A-Za-z0-9_-]+)\.md(#[^"]*)?"',
                      lambda m: 'href="{}.html{}"'.format(m.group(1), m.group(2) or ""), body)
        body = keep_blanks(body)
        with open(os.path.join(output, html_name), "w", encoding="utf-8") as f:
            f.write(TEMPLATE.format(title=html.escape(titles[name]), nav=nav, body=body,
                                    version=html.escape(version)))
    shutil.copyfile(os.path.join(source, "kestrel.css"), os.path.join(output, "kestrel.css"))


if __name__ == "__main__":
    main()
