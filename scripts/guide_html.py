#!/usr/bin/env python3
"""Writes the user guide as one HTML page that a Windows user opens in a browser.

usage: guide_html.py GUIDE.md OUT.html

The pictures stay where the guide links them (images/...), beside the page. Uses Debian's
python3-markdown, with tables and fenced code blocks.
"""
import html
import sys
from pathlib import Path

import markdown

STYLE = """
body { font-family: Segoe UI, Tahoma, sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em;
       line-height: 1.45; color: #1a1a1a; }
code, pre { font-family: Consolas, Courier New, monospace; background: #f2f2f2; }
pre { padding: 0.6em; overflow-x: auto; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.5em; text-align: left; vertical-align: top; }
img { max-width: 100%; }
"""


def main(source, target):
    text = Path(source).read_text(encoding="utf-8")
    title = next((line[2:].strip() for line in text.splitlines() if line.startswith("# ")), "User guide")
    body = markdown.markdown(text, extensions=["tables", "fenced_code"], output_format="html")
    page = (f'<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n{body}\n</body>\n</html>\n")
    Path(target).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(*sys.argv[1:])
