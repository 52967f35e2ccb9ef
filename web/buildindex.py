#!/usr/bin/python3
# Writes the page's index.html from its template, whole for its first paint: no file needs to
# arrive before the first page shows.
# - The game's first page in its console: the rows and cursor as the game's own scripted console
#   draws them (`orbridden_golden.js firstpage`, run under Node), in place of the marker.
# - The stylesheet and the first script written in, each in place of the template's link to it,
#   the font in the stylesheet as a data: address.
# - The page's Content-Security-Policy in its meta element: the hashes of the style and script
#   written in are the only inline ones it allows.
# Usage: buildindex.py NODE GOLDEN_JS INDEX_TEMPLATE STYLESHEET SCRIPT FONT OUT
import base64
import hashlib
import html
import os
import subprocess
import sys

node, golden, template, stylesheet, script, font, target = sys.argv[1:]


def fail(why):
    sys.exit(f"buildindex: {why}")


def replace_once(name, text, old, new):
    if text.count(old) != 1:
        fail(f"{name} must hold {old} once")
    return text.replace(old, new)


def inline(name, tag):
    """The file `name` as the text of an element `tag`, which it must not close early."""
    text = open(name, encoding="utf-8").read()
    if f"</{tag}" in text.lower():
        fail(f"{name} holds </{tag}, which would end it early in index.html")
    return text


def sha256(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode()).digest()).decode() + "'"


# Emscripten's Node support predates Node's own fetch, which would mislead it.
out = subprocess.run([node, "--no-experimental-fetch", golden, "firstpage"],
                     check=True, capture_output=True, encoding="utf-8").stdout
head, *rows = out.split("\n")
rows = rows[:25]
if len(rows) != 25:
    fail(f"the game drew {len(rows)} rows, not 25")
row, col = map(int, head.split())
# The cursor shows only at a prompt, a row with text, as the game's device shows it.
hidden = "" if rows[row].strip() else " hidden"
spans = "".join(f'<span class="row">{html.escape(r.ljust(80))}</span>' for r in rows)
spans += f'<span id="cursor" data-row="{row}" data-col="{col}"{hidden}></span>'

fontname = os.path.basename(font)
fontdata = base64.b64encode(open(font, "rb").read()).decode()
style = replace_once(stylesheet, inline(stylesheet, "style"), f"url({fontname})",
                     f"url(data:font/woff;base64,{fontdata})")
code = inline(script, "script")

page = open(template, encoding="utf-8").read()
for old, new in [
    ("<!-- the first page -->", spans),
    (f'<link rel="stylesheet" href="{os.path.basename(stylesheet)}">', f"<style>{style}</style>"),
    (f'<script src="{os.path.basename(script)}" defer></script>', f"<script>{code}</script>"),
    ("'@SCRIPT@'", sha256(code)),
    ("'@STYLE@'", sha256(style)),
]:
    page = replace_once(template, page, old, new)
open(target, "w", encoding="utf-8").write(page)
