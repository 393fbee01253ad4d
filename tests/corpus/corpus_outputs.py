#!/usr/bin/env python3
"""Prints the table of CliOutputsTest.cpp: for every .level file of the
corpus's "levels" folder, CRC-32 checksums (zlib's) of what vantrel-cli prints for
`load --map FILE`, `ce FILE`, `ce FILE 1` (standard output, a line "#", standard
error, the exit status; the temporary folder's path written as DIR) and of the
bytes of `render FILE map.bmp`. Each command runs on a fresh copy, in the same
order as the test. Usage: corpus_outputs.py VANTREL_CLI CORPUS_DIR"""
import os, re, shutil, subprocess, sys, tempfile, zlib

def crc(data: bytes) -> int:
    return zlib.crc32(data)

def run(cli, args, folder):
    p = subprocess.run([cli] + args, capture_output=True, stdin=subprocess.DEVNULL)
    text = p.stdout + b"#\n" + p.stderr + b"#" + str(p.returncode).encode()
    text = text.replace(folder.encode(), b"DIR")
    return re.sub(rb"loaded in \d+ milliseconds", b"loaded in N milliseconds", text)

cli, corpus = sys.argv[1], sys.argv[2]
levels = sorted(os.path.relpath(os.path.join(d, f), corpus).replace(os.sep, "/")
                for d, _, fs in os.walk(os.path.join(corpus, "levels")) for f in fs if f.endswith(".level"))
for rel in levels:
    with tempfile.TemporaryDirectory() as folder:
        level = os.path.join(folder, os.path.basename(rel))
        shutil.copyfile(os.path.join(corpus, rel), level)
        sums = [crc(run(cli, [c, level] + extra, folder)) for c, extra in (("load", ["--map"]), ("ce", []), ("ce", ["1"]))]
        bmp = os.path.join(folder, "map.bmp")
        subprocess.run([cli, "render", level, bmp], capture_output=True)
        sums.append(crc(open(bmp, "rb").read()) if os.path.exists(bmp) else 0)
    print('    {"%s", 0x%08xu, 0x%08xu, 0x%08xu, 0x%08xu},' % ((rel,) + tuple(sums)))
