#!/usr/bin/python3
# Draws the page's icon from the game's own font: its sun glyph (code page 0x0F), light on the
# console's black, as an SVG for the web app manifest.
# Usage: icon.py FONT.ttf OUT.svg
import sys

from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.ttLib import TTFont

source, target = sys.argv[1:]
font = TTFont(source)
glyphs = font.getGlyphSet()
name = font.getBestCmap()[0x263C]
pen = SVGPathPen(glyphs)
glyphs[name].draw(pen)
advance = glyphs[name].width
em = font["head"].unitsPerEm
# The glyph centred in a square of one em, the font's y axis (up) turned to the SVG's (down).
shift = (em - advance) / 2
open(target, "w", encoding="utf-8").write(
    f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {em} {em}">'
    f'<rect width="{em}" height="{em}" fill="#000"/>'
    f'<path fill="#ccc" transform="translate({shift} {em * 0.8}) scale(1 -1)" d="{pen.getCommands()}"/>'
    "</svg>\n")
