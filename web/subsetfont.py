#!/usr/bin/python3
# Cuts a monospace font down to the glyphs the page draws: every glyph of the game's code page
# table (the cp437 array in core/console.hpp) and those of the page's own text.
# Fails when the font lacks one of them, since a glyph from a fallback font could be of another
# width and break the columns.
# Usage: subsetfont.py CONSOLE_HPP FONT.ttf OUT.woff
import re
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

header, source, target = sys.argv[1:]
text = open(header, encoding="utf-8").read()
table = re.search(r"cp437 = \{(.*?)\};", text, re.S).group(1)
escapes = {"a": "\a", "n": "\n", "'": "'", "\\": "\\"}
glyphs = []
for lit in re.findall(r"U'(\\u[0-9A-Fa-f]{4}|\\.|[^'\\])'", table):
    if lit.startswith("\\u"):
        glyphs.append(chr(int(lit[2:], 16)))
    elif lit.startswith("\\"):
        glyphs.append(escapes[lit[1]])
    else:
        glyphs.append(lit)
if len(glyphs) != 256:
    sys.exit(f"subsetfont: found {len(glyphs)} entries in the cp437 table, not 256")
# The page's own text: ASCII and the ellipsis of its loading line.
wanted = {ord(g) for g in glyphs if g >= " "} | set(range(0x20, 0x7F)) | {0x2026}

font = TTFont(source, recalcTimestamp=False)  # the same font from the same source, byte for byte
missing = wanted - set(font.getBestCmap())
if missing:
    sys.exit("subsetfont: the font has no glyph for " + " ".join(f"U+{c:04X}" for c in sorted(missing)))
options = subset.Options()
options.flavor = "woff"
options.layout_features = []  # a console has no ligatures or kerning
options.name_IDs = ["*"]  # the font's names and licence stay with it
subsetter = subset.Subsetter(options)
subsetter.populate(unicodes=wanted)
subsetter.subset(font)
font.flavor = "woff"
font.save(target)
