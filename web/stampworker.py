#!/usr/bin/python3
# Writes the service worker with the build's version in it: a hash of the site's files, so that
# a build that changes any of them is a new cache.
# Usage: stampworker.py TEMPLATE OUT FILE...
import hashlib
import sys

template, target, *files = sys.argv[1:]
digest = hashlib.sha256()
for f in files:
    digest.update(open(f, "rb").read())
text = open(template, encoding="utf-8").read().replace("@VERSION@", digest.hexdigest()[:16])
open(target, "w", encoding="utf-8").write(text)
