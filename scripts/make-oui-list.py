#!/usr/bin/env python3
"""Makes OUIList.txt from the IEEE MA-L registry text (oui.txt of Debian's ieee-data).

Output: one line per OUI in ascending order: six upper-case hexadecimal digits, a tab,
the organisation's name as one word of at most 11 ASCII characters (runs of white space
become one underscore; accents are dropped, other non-ASCII letters left out), "\\n".
The first entry of an OUI listed twice is kept.

usage: make-oui-list.py oui.txt OUIList.txt
"""

import re
import sys
import unicodedata

NAME_MAX = 11
HEX_LINE = re.compile(r"^([0-9A-Fa-f]{2})-([0-9A-Fa-f]{2})-([0-9A-Fa-f]{2})\s+\(hex\)\s*(.*)$")


def short_name(name: str) -> str:
    ascii_only = unicodedata.normalize("NFKD", name).encode("ascii", "ignore").decode("ascii")
    word = "_".join(ascii_only.split())[:NAME_MAX].rstrip("_")
    return word or "Unnamed"


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    entries = {}
    with open(sys.argv[1], encoding="utf-8", errors="replace") as registry:
        for line in registry:
            match = HEX_LINE.match(line.strip())
            if match:
                oui = int("".join(match.group(1, 2, 3)), 16)
                entries.setdefault(oui, short_name(match.group(4)))
    with open(sys.argv[2], "w", encoding="ascii", newline="\n") as out:
        for oui in sorted(entries):
            out.write(f"{oui:06X}\t{entries[oui]}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
