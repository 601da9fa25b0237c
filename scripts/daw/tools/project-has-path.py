#!/usr/bin/env python3
"""Says whether a saved project holds a text (a sample path): in its own text, or inside a plug-in state
kept as base64 (Ardour), possibly compressed first (Qtractor: a 4-byte length and zlib data).
Usage: project-has-path.py PROJECT TEXT   (exit status 0: found)"""
import base64
import re
import sys
import zlib

project, text = sys.argv[1], sys.argv[2].encode()
data = open(project, 'rb').read()
if text in data:
    sys.exit(0)
# base64 runs, across line breaks and indentation
for run in re.findall(rb'[A-Za-z0-9+/=\s]{64,}', data):
    blob = re.sub(rb'\s', b'', run)
    try:
        raw = base64.b64decode(blob + b'=' * (-len(blob) % 4))
    except Exception:
        continue
    for candidate in (raw, raw[4:]):
        if text in candidate:
            sys.exit(0)
        try:
            if text in zlib.decompress(candidate):
                sys.exit(0)
        except Exception:
            pass
sys.exit(1)
