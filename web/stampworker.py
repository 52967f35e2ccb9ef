#!/usr/bin/python3
# Writes the service worker with the build's files and version in it: the version is a hash of
# the files, so that a build that changes any of them is a new cache.
# Usage: stampworker.py TEMPLATE OUT FILE...
import hashlib
import os
import sys

template, target, *files = sys.argv[1:]
digest = hashlib.sha256()
for f in files:
    digest.update(open(f, "rb").read())
names = ["./" if os.path.basename(f) == "index.html" else os.path.basename(f) for f in files]
text = open(template, encoding="utf-8").read()
text = text.replace("@VERSION@", digest.hexdigest()[:16])
text = text.replace("'@FILES@'", ", ".join(f"'{n}'" for n in names))
open(target, "w", encoding="utf-8").write(text)
