#!/usr/bin/python3
"""Turns the staff's guide (guide/guide.md) into one HTML page with its own style, for the
desktop's browser. Debian's python3-markdown (tables, a table of contents from the headings).

Usage: render_guide.py SOURCE.md OUTPUT.html
"""

import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>
body {{ font-family: "DejaVu Sans", sans-serif; line-height: 1.5; color: #222;
       max-width: 64em; margin: 1em auto; padding: 0 1em; }}
h1, h2, h3 {{ line-height: 1.2; }}
h2 {{ border-bottom: 1px solid #ccc; padding-bottom: .2em; margin-top: 2em; }}
img {{ max-width: 100%; border: 1px solid #bbb; }}
code, kbd {{ background: #f2f2f2; padding: 0 .25em; border-radius: 3px; }}
kbd {{ border: 1px solid #bbb; }}
pre {{ background: #f2f2f2; padding: .6em; overflow-x: auto; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #ccc; padding: .25em .5em; text-align: left; vertical-align: top; }}
.toc {{ background: #f7f7f7; padding: .3em 1em; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], encoding='utf-8') as source:
        text = source.read()
    converter = markdown.Markdown(extensions=['tables', 'toc', 'attr_list'],
                                  extension_configs={'toc': {'title': 'Содержание'}})
    body = converter.convert(text)
    title = text.splitlines()[0].lstrip('# ').strip()
    with open(sys.argv[2], 'w', encoding='utf-8') as page:
        page.write(PAGE.format(title=title, body=body))


if __name__ == '__main__':
    main()
