#!/usr/bin/env python3
"""Writes small synthetic level files as a starting corpus for fuzz_loader.

Usage: fuzz/make_seeds.py OUTDIR
       fuzz/make_seeds.py --cases OUTDIR   (the regression cases of fuzz/corpus/loader)
       fuzz/make_seeds.py --target NAME OUTDIR   (seeds of fuzz_NAME: loader, edit, ce, vce, conf, quote)

Every file is made here from scratch: the RND1 container with its version
chunk, HEAD, AUTH, BODY and the other chunks the loader knows, the newer
layout of file version 3.0 (NAME, AUTH, INFO, BODY of two-byte cells, CUSX and
the other entry chunks), and the old cookie formats 1.0, 1.2 and 1.4.
"""
import os
import struct
import sys

COOKIE = b"ROCKSNDIAMONDS_LEVEL_FILE_VERSION_"


def be32(n):
    return struct.pack(">I", n & 0xFFFFFFFF)


def head_data(w, h, wide, title=b"Seed", time=100, gems=5):
    d = bytearray(112)
    d[0], d[1] = w, h
    d[2:4] = struct.pack(">H", time)
    d[4:6] = struct.pack(">H", gems)
    d[6:6 + len(title)] = title
    d[96] = 1 if wide else 0
    return bytes(d)


def cells(w, h, wide):
    out = bytearray()
    for i in range(w * h):
        code = (i * 7) % 700 if wide else (i * 7) % 256
        out += struct.pack(">H", code) if wide else bytes([code])
    return bytes(out)


def chunk(name, payload, size=None):
    return name + be32(len(payload) if size is None else size) + payload


def rnd1(w, h, wide, extra=b"", author=b"Someone"):
    body = cells(w, h, wide)
    f = bytearray(b"RND1" + be32(0) + b"CAVEVERS" + be32(8) + bytes.fromhex("0200000003000803"))
    # HEAD: size field 80 so that the scan goes on 36 bytes after it.
    f += b"HEAD" + be32(80) + head_data(w, h, wide)
    f += chunk(b"AUTH", author.ljust(32, b"\0"))
    f += extra
    f += chunk(b"BODY", body)
    f[4:8] = be32(len(f) - 8)
    return bytes(f)


def cus4(ce_number, pages, name=b"Custom"):
    rec = bytearray(104 + 48 * pages - 8)
    rec[0:2] = struct.pack(">H", ce_number + 359)
    rec[2:2 + len(name)] = name
    rec[42] = pages
    return b"CUS4" + be32(len(rec)) + bytes(rec)


def e8(key, v):
    return bytes([key, v & 0xFF])


def e16(key, v):
    return bytes([key]) + struct.pack(">H", v & 0xFFFF)


def e32(key, v):
    return bytes([key]) + be32(v)


def ebytes(key, data):
    return bytes([key]) + struct.pack(">H", len(data)) + data


def info(w, h, time=100, gems=5, extra=b""):
    return e8(0x01, 1) + e16(0x41, w) + e16(0x42, h) + e16(0x43, time) + e16(0x44, gems) + extra


def newer(w, h, info_entries=None, extra=b"", body=None, title=b"Newer seed"):
    """A file of the newer layout as the game writes it: VERS 3.0, DATE, NAME, AUTH, INFO, BODY, then extra."""
    f = bytearray(b"RND1" + be32(0) + b"CAVEVERS" + be32(8) + bytes.fromhex("0300000004010401"))
    f += chunk(b"DATE", bytes.fromhex("07ea0c07"))
    f += chunk(b"NAME", title.ljust(32, b"\0"))
    f += chunk(b"AUTH", b"Someone".ljust(32, b"\0"))
    f += chunk(b"INFO", info(w, h) if info_entries is None else info_entries)
    f += chunk(b"BODY", cells(w, h, True) if body is None else body)
    f += extra
    return bytes(f)


def cusx(ce_number, entries):
    return chunk(b"CUSX", struct.pack(">H", ce_number + 359) + entries)


def cookie(version, w, h, wide, extra=b""):
    if version == b"1.0":
        return COOKIE + b"1.0\n" + head_data(w, h, wide) + cells(w, h, wide)
    f = bytearray(COOKIE + version + b"\n")
    f += b"HEAD" + be32(80) + head_data(w, h, wide)
    f += extra
    body = cells(w, h, wide)
    f += b"BODY" + be32(w * h) + body  # the size counts cells; two-byte cells take twice as much
    return bytes(f)


def seeds():
    yield "rnd1_4x3_wide", rnd1(4, 3, True)
    yield "rnd1_5x5_narrow", rnd1(5, 5, False)
    chunks = (cus4(1, 0) + cus4(12, 2, b"Two pages") + chunk(b"CNT2", bytes(12)) +
              chunk(b"CNT3", struct.pack(">H", 621) + bytes(10)) + chunk(b"GRP1", struct.pack(">H", 630) + bytes(6)) +
              chunk(b"ABCD", bytes(6)))
    yield "rnd1_chunks", rnd1(6, 4, True, chunks)
    yield "rnd1_cus1_cus3", rnd1(2, 2, False, chunk(b"CUS1", bytes(8)) + chunk(b"CUS3", bytes(4)))
    yield "rnd1_cont_wide", rnd1(3, 3, True, b"CONT" + be32(6) + bytes(8))
    yield "cookie_1_0", cookie(b"1.0", 3, 3, False)
    yield "cookie_1_2_wide", cookie(b"1.2", 4, 2, True)
    yield "cookie_1_4", cookie(b"1.4", 4, 4, False)
    yield "cookie_other", cookie(b"2.0", 2, 2, False)
    yield "rnd1_128x1", rnd1(128, 1, False)
    yield "short", b"RND1\0\0"
    yield "newer_4x3", newer(4, 3)
    yield "newer_defaults", newer(64, 32, e8(0x01, 1))
    elem = chunk(b"ELEM", struct.pack(">H", 52) + e16(0x42, 999) + struct.pack(">H", 0x2AA) + ebytes(0xC1, bytes(36)))
    note = chunk(b"NOTE", struct.pack(">H", 620) + e8(0x01, 30) + ebytes(0xC1, b"Hello"))
    ces = (cusx(1, ebytes(0xC1, b"Door") + e32(0x81, 0x08080000) + e8(0x09, 2) + e8(0x01, 0) + e16(0x41, 361) +
                e8(0x01, 1) + e8(0x02, 1) + ebytes(0xC1, bytes(18))) +
           cusx(2, e8(0x09, 1) + e8(0x01, 0) + e32(0x81, 0x480000) + e8(0x0C, 1)))
    grpx = chunk(b"GRPX", struct.pack(">H", 624) + ebytes(0xC1, b"Group") + ebytes(0xC2, struct.pack(">HH", 1, 2)))
    empx = chunk(b"EMPX", struct.pack(">H", 0) + e8(0x01, 1) + e16(0x41, 5))
    yield "newer_chunks", newer(5, 4, extra=elem + note + ces + grpx + empx)
    yield "newer_unknown_entries", newer(3, 3, info(3, 3, extra=e8(0x3F, 1) + e16(0x7F, 2) + e32(0xBF, 3) +
                                                    ebytes(0xFF, b"xyz")))


def cases():
    """Files that once troubled the scan. The name's first word is the outcome
    the regression test expects: completes, refused or fails."""
    # A chunk whose size field reads 0xFFFFFFFF after the map: the scan stops there.
    yield "completes-size-ffffffff", rnd1(3, 2, False) + b"CNT2" + be32(0xFFFFFFFF) + bytes(12)
    # The same size before the map: the scan stops before it finds a BODY.
    yield "fails-size-ffffffff-before-body", rnd1(3, 2, False, b"ZZZZ" + be32(0xFFFFFFFF) + bytes(4))
    # A size of 2^31, negative when taken as a signed number.
    yield "completes-size-2pow31", rnd1(2, 2, True) + b"AUTH" + be32(0x80000000) + bytes(8)
    # A second version chunk later in the file: it would send the scan back to 28.
    yield "completes-cavevers-later", rnd1(2, 3, False) + b"CAVEVERS" + be32(8) + bytes(8)
    yield "fails-cavevers-before-body", rnd1(2, 3, False, b"CAVEVERS" + be32(8) + bytes(8))
    # A HEAD that gives a map wider than the grid.
    yield "refused-head-200x10", rnd1(200, 10, False)
    # A CUS4 chunk cut short by the end of the file.
    yield "completes-cus4-cut", rnd1(2, 2, False) + cus4(5, 3)[:30]
    # The newer layout: an INFO wider than the grid, a BODY too short for the map,
    # entries that run past their chunk, a page index beyond the page count.
    yield "refused-info-200x10", newer(200, 10, body=cells(2, 2, True))
    yield "fails-newer-body-short", newer(4, 4, body=cells(3, 2, True))
    yield "completes-newer-entries-past-end", newer(2, 2, info(2, 2, extra=b"\xc1\x00\x09a"),
                                                    extra=cusx(3, e8(0x09, 1) + b"\x81\x00"))
    yield "completes-cusx-page-beyond", newer(2, 2, extra=cusx(4, e8(0x09, 1) + e8(0x01, 5) + e8(0x02, 1)) +
                                              cusx(300, e8(0x09, 1)))


def ce_seeds():
    """CE records as fuzz_ce reads them: a chunk at offset 0, its record at 8."""
    yield "none", cus4(1, 0)
    yield "one_page", cus4(2, 1, b"One page")
    yield "sixteen_pages", cus4(256, 16, b"Sixteen")
    two = bytearray(cus4(3, 2, b"Links"))
    two[8 + 4:8 + 6] = struct.pack(">H", 365)  # a link to another custom element
    yield "links", bytes(two)
    yield "cut", cus4(4, 3)[:60]
    yield "pages_past_end", cus4(5, 1)[:-8] + b"\x10"


def conf_seeds():
    yield "levelset", b"name: Seed levels\nauthor: Someone\nlevels: 10\nfirst_level: 1\n"
    yield "group", b"name:\t Group\r\nlevel_group: true\r\n"
    yield "empty_value", b"name:\nname: second\n"
    yield "no_newline", b"name: last line"
    yield "empty", b""


def quote_seeds():
    yield "images", b"[img]http://forum.artsoft.org/I/001.png[/img][img]http://forum.artsoft.org/I/014.png[/img]\n"
    yield "sketch", b"`001`002`003\r\n`014`257`006\r\n"
    yield "author", b"Quote from: Someone on a day\n`001`001\n"


def target_seeds(name):
    if name in ("loader", "edit"):
        return seeds()
    # A .vce file is CUS4 chunks one after the other.
    return {"ce": ce_seeds, "vce": ce_seeds, "conf": conf_seeds, "quote": quote_seeds}[name]()


def main():
    args = sys.argv[1:]
    make = seeds
    ext = ".level"
    if args and args[0] == "--cases":
        make = cases
        args = args[1:]
    elif args and args[0] == "--target":
        target = args[1]
        make = lambda: target_seeds(target)
        ext = {"ce": ".vce", "vce": ".vce", "conf": ".conf", "quote": ".txt"}.get(target, ".level")
        args = args[2:]
    out = args[0] if args else "fuzz-seeds"
    os.makedirs(out, exist_ok=True)
    for name, data in make():
        with open(os.path.join(out, name + ext), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
