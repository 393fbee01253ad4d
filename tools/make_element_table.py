#!/usr/bin/env python3
"""Writes src/base/ElementRows.h, the rows of the element table, from a
tab-separated list of element codes (code, token, class, description).

    tools/make_element_table.py ../shared/elements.tsv src/base/ElementRows.h

Descriptions may carry \\xNN escapes; they become the Latin-1 byte they name,
since the program's texts are byte strings shown as Latin-1.
"""
import re
import sys


def decode(text):
    """The bytes a description stands for: \\xNN escapes become one byte."""
    out = bytearray()
    i = 0
    while i < len(text):
        m = re.match(r"\\x([0-9a-fA-F]{2})", text[i:])
        if m:
            out.append(int(m.group(1), 16))
            i += 4
        else:
            out.extend(text[i].encode("ascii"))
            i += 1
    return bytes(out)


def cxx_literal(data):
    """A C++ string literal holding exactly these bytes."""
    parts = []
    for b in data:
        ch = chr(b)
        if ch in '"\\':
            parts.append("\\" + ch)
        elif 0x20 <= b < 0x7F:
            parts.append(ch)
        else:
            # Close the literal after a hex escape, so a following hex digit
            # is not read as part of it.
            parts.append('\\x%02x""' % b)
    text = "".join(parts)
    if text.endswith('""'):
        text = text[:-2]
    return '"' + text + '"'


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make_element_table.py ELEMENTS.TSV OUTPUT.H\n")
        return 2
    rows = []
    with open(argv[1], encoding="ascii") as f:
        header = f.readline().rstrip("\n").split("\t")
        if header != ["code", "token", "class", "description"]:
            sys.stderr.write("unexpected header: %r\n" % header)
            return 1
        for lineno, line in enumerate(f, start=2):
            line = line.rstrip("\n")
            if not line:
                continue
            fields = line.split("\t")
            if len(fields) != 4:
                sys.stderr.write("line %d: expected 4 fields\n" % lineno)
                return 1
            code = int(fields[0])
            if rows and code <= rows[-1][0]:
                sys.stderr.write("line %d: codes must ascend\n" % lineno)
                return 1
            rows.append((code, fields[1], fields[2], decode(fields[3])))

    with open(argv[2], "w", encoding="ascii", newline="\n") as out:
        out.write("// The rows of the element table: every element code of the game's level\n")
        out.write("// files with its token, class and description, codes ascending.\n")
        out.write("// Written by tools/make_element_table.py from the list of element codes;\n")
        out.write("// run the script again instead of editing this file.\n")
        out.write("#pragma once\n\n")
        out.write('#include "base/ElementTable.h"\n\n')
        out.write("namespace vantrel {\n\n")
        out.write("inline constexpr ElementInfo kElementRows[] = {\n")
        for code, token, cls, desc in rows:
            out.write("    {%d, %s, %s, %s},\n" % (code, cxx_literal(token.encode("ascii")),
                                                cxx_literal(cls.encode("ascii")), cxx_literal(desc)))
        out.write("};\n\n")
        out.write("}  // namespace vantrel\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
