#!/usr/bin/python3
# Writes the page's index.html with the game's first page in its console, so that the page shows
# it while the WebAssembly compiles: the rows and cursor as the game's own scripted console draws
# them (`orbridden_golden.js firstpage`, run under Node), in place of the template's marker.
# Usage: firstpage.py NODE GOLDEN_JS INDEX_TEMPLATE OUT
import html
import subprocess
import sys

node, golden, template, target = sys.argv[1:]
# Emscripten's Node support predates Node's own fetch, which would mislead it.
out = subprocess.run([node, "--no-experimental-fetch", golden, "firstpage"],
                     check=True, capture_output=True, encoding="utf-8").stdout
head, *rows = out.split("\n")
rows = rows[:25]
if len(rows) != 25:
    sys.exit(f"firstpage: the game drew {len(rows)} rows, not 25")
row, col = map(int, head.split())
# The cursor shows only at a prompt, a row with text, as the game's device shows it.
hidden = "" if rows[row].strip() else " hidden"
spans = "".join(f'<span class="row">{html.escape(r.ljust(80))}</span>' for r in rows)
spans += f'<span id="cursor" data-row="{row}" data-col="{col}"{hidden}></span>'
page = open(template, encoding="utf-8").read()
marker = "<!-- the first page -->"
if page.count(marker) != 1:
    sys.exit(f"firstpage: {template} must hold {marker} once")
open(target, "w", encoding="utf-8").write(page.replace(marker, spans))
