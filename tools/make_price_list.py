#!/usr/bin/env python3
"""Writes prices/price_list.tsv, the shop's built-in price list: 5279 lines of key<TAB>price.

The file is what the program compiles in; this script is how it was made and how it is remade
after a price change. Fixed prices (the ones the shop has quoted and the calculators rely on) are
listed below and always win over the rules; every other price follows the rules written here.

Run from the repository root:  python3 tools/make_price_list.py
"""

import math
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, os.pardir, "prices", "price_list.tsv")

# ---------------------------------------------------------------------------------------------
# Laser printing: price of one sheet, key "00" + format + colours + paper + density
# (brochure keys "01" + the same codes carry the same prices).
#
# Rule: a sheet costs a[F][C] on plain 80 g paper and b[F][C] on ordinary coated 350 g paper;
# in between, the price moves from a towards b by g = DENSITY[D] + PAPER[T] (a heavier or more
# special stock costs more), is rounded the shop's way (below 1.25 -> 1, below 1.75 -> 1.5,
# otherwise to the nearest whole number) and is held inside the format's price range (the
# heaviest special stocks of А4, А3 and SRA3 stop at the format's ceiling). Where a fixed price
# lies above what the rule gives the next heavier sheet of the same paper, that sheet is raised to
# it. Slot order within a format: colour, then paper, then density.
# ---------------------------------------------------------------------------------------------

# g/m2:        80    90   120   170   200   250   300   320   350
DENSITY = [0.00, 0.05, 0.20, 0.35, 0.45, 0.60, 0.85, 0.92, 1.00]
PAPER = {
    0: 0.00,  # plain
    1: 0.05,  # coloured
    2: 0.05,  # matte
    3: 0.05,  # glossy
    4: 0.15,  # textured
    5: 0.20,  # Plike
    6: 0.25,  # designer
    7: 0.20,  # self-adhesive
    8: 0.30,  # synthetic
    9: 0.00,  # carbonless: sold at the plain-paper price
}

# Format code -> (prefix digits, a per colour code 0..4, b per colour code 0..4, lowest, highest).
# Colour codes: 1+0, 1+1, 4+0, 4+1, 4+4.
SHEET_FORMATS = [
    ("0", [1.5, 3, 10, 15, 20], [5, 8, 17.6, 22, 26.15], 1.5, 28),        # А6
    ("1", [2, 4, 20, 25, 25], [8, 11, 27, 29, 31.15], 2, 33),              # А5
    ("10", [2, 3, 4, 5, 6], [3.5, 4.5, 6.5, 7.5, 9.2], 1, 10),             # euro business cards
    ("2", [2, 5, 30, 35, 50], [12, 13, 50, 60.7, 65.24], 2, 66),           # А4
    ("3", [4, 6, 50, 40, 80], [16, 20, 68, 76, 93.34], 4, 94),             # А3
    ("4", [5, 8, 55, 60, 85], [18, 22, 72, 80, 96.43], 1.5, 97),           # SRA3
    ("8", [2, 4, 15, 20, 25], [8, 10, 28, 32, 38.08], 2, 42),              # euro format
    ("9", [2, 3, 4, 5, 6], [4, 5, 7, 8, 10], 2, 11),                       # business cards
]
BROCHURE_FORMATS = ["0", "1", "2", "3", "4", "8"]


def sheet_combinations(format_code):
    """(paper, density) pairs the shop stocks for a format, in slot order."""
    pairs = []
    if format_code in ("9", "10"):  # business cards: no self-adhesive, synthetic, carbonless
        for paper in range(7):
            if paper == 0:
                densities = [0]
            elif paper == 1:
                densities = [1]
            elif paper in (2, 3):
                densities = range(2, 9)
            else:
                densities = range(1, 9)
            pairs += [(paper, d) for d in densities]
    else:
        for paper in range(10):
            if paper == 0:
                densities = [0]
            elif paper == 7:
                densities = range(0, 9)
            elif paper == 9:
                densities = range(0, 5)
            else:
                densities = range(1, 9)
            pairs += [(paper, d) for d in densities]
    return pairs


def shop_round(x):
    if x < 1.25:
        return 1
    if x < 1.75:
        return 1.5
    return math.floor(x + 0.5 + 1e-9)


def sheet_price(a, b, low, high, paper, density):
    g = DENSITY[density] + PAPER[paper]
    return min(max(shop_round(a + (b - a) * g), low), high)


# ---------------------------------------------------------------------------------------------
# Street wide format, key "121111" + material + quality: the shop's price per square metre.
# No rule here: the whole list is the shop's. Quality 9/10/11 wide-format 360/540/720 dpi,
# 12 unused, 13/14 interior 720/1140 dpi (same money as 9/10/11). Slot order: material by
# material, each with its qualities 9 to 14, so the nine- and ten-digit keys interleave.
# ---------------------------------------------------------------------------------------------

STREET = {  # material: prices at quality 9..14 (None: the material is not printed so)
    10: [270, 300, 315, 270, 300, 315],
    11: [650, 750, 850, 650, 750, 850],
    12: [230, 250, 280, 230, 250, 280],
    13: [277, 300, 330, 277, 300, 330],
    14: [195, 220, 230, 195, 220, 230],
    15: [660, 735, 810, 660, 735, 810],
    16: [315, None, None, None, None, None],
    17: [630, 660, 705, 630, 660, 705],
    18: [90, 120, 150, 90, 120, 150],
    19: [150, 180, 210, 150, 180, 210],
    20: [450, 500, 550, 450, 500, 550],
    21: [525, 570, 620, 525, 570, 620],
    22: [270, 300, 330, 270, 300, 330],
    23: [450, 500, 550, 450, 500, 550],
    24: [450, 500, 550, 450, 500, 550],
}

# ---------------------------------------------------------------------------------------------
# Interior wide format, key "13" + format + colouring + paper + density.
#
# Formats 5, 6, 7 (А2, А1, А0) and 12 (custom) are what the page composes; colourings 0, 5, 6, 7
# (1+0 and the three ink coverages); 4+0 (2) has no price at all.
#
# Keys beyond what the page composes (the list carries 400 of them), chosen as follows:
#   * paper/density pairs: besides the eight pairs the page prices (plain 80; matte 120, 200;
#     glossy 120, 200; self-adhesive 120, 160, 200) every format also lists plain with density
#     code 1 and matte, glossy and self-adhesive with density code 5, codes no button carries;
#   * the same twelve pairs for format 13 (a wide roll next to custom 12) and format 3;
#   * boards with a two-digit density code 12, 15, 16 or 17 on matte (2) or glossy (3) paper
#     (keys 13 + format + colouring + 2|3 + 12|15|16|17), for every format;
#   * the two four-digit tails 2516 and 2517, for every format.
# The 5x density codes (52, 55, 56, 57) are not listed.
#
# Rule: the price follows the ink coverage (1+0 30, 5 % 30, 50 % 40, 100 % 50), not the paper
# weight; matte paper at 1+0 costs 50 as in the page's own list; format 13 costs 1.8 times the
# same codes at format 12; boards add 0 (12, 15), 15 (16) or 30 (17); the 2516/2517 tails cost
# the coverage price alone.
# ---------------------------------------------------------------------------------------------

INTERIOR_FORMATS = ["12", "13", "3", "5", "6", "7"]  # slot order: the "131" keys, then "13G"
COLOURINGS = [0, 5, 6, 7]
COVERAGE = {0: 30, 5: 30, 6: 40, 7: 50}
PAGE_PAIRS = [(0, 0), (2, 2), (2, 4), (3, 2), (3, 4), (7, 2), (7, 3), (7, 4)]
EXTRA_PAIRS = [(0, 1), (2, 5), (3, 5), (7, 5)]
BOARD_SURCHARGE = {12: 0, 15: 0, 16: 15, 17: 30}
LONG_TAILS = ["2516", "2517"]


def interior_keys():
    """(key, price) of the interior family, interleaved format by format and, within a format,
    colouring by colouring: short keys first, then the boards, then the long tails."""
    out = []
    for fmt in INTERIOR_FORMATS:
        for colouring in COLOURINGS:
            head = "13" + fmt + str(colouring)
            for paper, density in sorted(PAGE_PAIRS + EXTRA_PAIRS):
                price = 50 if (colouring == 0 and paper == 2) else COVERAGE[colouring]
                if fmt == "13":
                    price = price * 18 // 10
                out.append((head + str(paper) + str(density), price))
            for paper in (2, 3):
                for board in sorted(BOARD_SURCHARGE):
                    out.append((head + str(paper) + str(board),
                                COVERAGE[colouring] + BOARD_SURCHARGE[board]))
            for tail in LONG_TAILS:
                out.append((head + tail, COVERAGE[colouring]))
    return out


# ---------------------------------------------------------------------------------------------
# Prices that are fixed whatever the rules say.
# ---------------------------------------------------------------------------------------------

QUOTED = {
    # telling rows of the list
    "000000": 1.5, "000011": 1.5, "000111": 4, "000218": 18, "002318": 62, "003418": 94,
    "004418": 97, "0010000": 2, "009000": 2, "010000": 1.5, "1211111010": 300,
    "1211112414": 550, "121111109": 270, "1312000": 30, "13120215": 30, "131202516": 30,
    "1313774": 90, "133000": 30, "0015000": 10, "0115000": 10, "500000": 10, "600000": 20,
    "510000": 10, "610000": 20,
    # sheet products and brochures
    "002021": 3, "002428": 66, "004488": 97, "012000": 2, "012122": 7, "012436": 64,
    "014488": 97,
}

# Souvenir printing reads the sheet keys "00" + size + colouring + material + "0" with material 0
# (mugs) or 9 (other / no material), i.e. paper 0 or 9 at 80 g.
SOUVENIR = {  # (size, material): prices for colourings 1+0, 1+1, 4+0, 4+1, 4+4
    ("0", 0): [1.5, 3, 10, 15, 20],
    ("0", 9): [1.5, 3, 10, 15, 20],
    ("1", 0): [2, 4, 20, 25, 25],
    ("1", 9): [2, 5, 20, 25, 25],
    ("2", 0): [2, 5, 30, 35, 50],
    ("2", 9): [3, 5, 32, 35, 50],
    ("3", 0): [4, 6, 50, 40, 80],
    ("3", 9): [4, 6, 50, 42, 80],
    ("9", 0): [2, 3, 4, 5, 6],
    ("10", 0): [2, 3, 4, 5, 6],
}
for (size, material), row in SOUVENIR.items():
    for colouring, price in enumerate(row):
        QUOTED["00" + size + str(colouring) + str(material) + "0"] = price

for material, row in STREET.items():
    for quality, price in zip(range(9, 15), row):
        if price is not None:
            QUOTED["121111" + str(material) + str(quality)] = price

for fmt in ("5", "6", "7", "12"):
    for paper, density in PAGE_PAIRS:
        for colouring in COLOURINGS:
            price = 50 if (colouring == 0 and paper == 2) else COVERAGE[colouring]
            QUOTED["13" + fmt + str(colouring) + str(paper) + str(density)] = price

# A brochure sheet costs what the sheet-products sheet of the same format costs, so a quoted
# brochure price fixes the sheet price too.
for key, price in list(QUOTED.items()):
    if len(key) == 6 and key.startswith("01") and key[2] in BROCHURE_FORMATS:
        sheet_key = "00" + key[2:]
        assert QUOTED.setdefault(sheet_key, price) == price, sheet_key

# The cheapest entries of two formats, below what the rule gives them: SRA3 1+0 on plain 80 g at
# the А6 price, and euro business cards 1+0 on coloured 90 g at 1.
FLOOR_PRICES = {"004000": 1.5, "0010011": 1}


# ---------------------------------------------------------------------------------------------
# The list in slot order.
# ---------------------------------------------------------------------------------------------

def sheet_family(format_code, a, b, low, high, prefix="00"):
    out = []
    for colour in range(5):
        for paper, density in sheet_combinations(format_code):
            key = prefix + format_code + str(colour) + str(paper) + str(density)
            out.append((key, sheet_price(a[colour], b[colour], low, high, paper, density)))
    return out


def build():
    families = []  # (name, [(key, price)]) in slot order
    by_code = {}
    for code, a, b, low, high in SHEET_FORMATS:
        rows = sheet_family(code, a, b, low, high)
        by_code[code] = rows
        families.append(("00" + code, rows))

    def fix(rows):
        return [(k, FLOOR_PRICES.get(k, QUOTED.get(k, p))) for k, p in rows]

    def never_cheaper_when_heavier(rows):
        # a fixed price may sit above what the rule gives the next density up on the same paper;
        # the heavier sheet is then raised to it (rows run by density within one paper)
        out = []
        for key, p in rows:
            if out and out[-1][0][:-1] == key[:-1]:
                p = max(p, out[-1][1])
            out.append((key, p))
        return out

    families = [(name, never_cheaper_when_heavier(fix(rows))) for name, rows in families]
    sheet_prices = dict(pair for _, rows in families for pair in rows)
    for code in BROCHURE_FORMATS:
        families.append(("01" + code, [("01" + k[2:], sheet_prices[k]) for k, _ in by_code[code]]))

    street = []
    for material in sorted(STREET):
        for quality, price in zip(range(9, 15), STREET[material]):
            if price is not None:
                street.append(("121111" + str(material) + str(quality), price))
    families.append(("121", street))
    families.append(("13", fix(interior_keys())))
    families.append(("single", [("0015000", 10), ("0115000", 10), ("500000", 10),
                                ("600000", 20), ("510000", 10), ("610000", 20)]))
    return families


# ---------------------------------------------------------------------------------------------
# Checks: the key set and the ranges the calculators are built around.
# ---------------------------------------------------------------------------------------------

# (pattern, count, lowest, highest)
PATTERNS = [
    (r"000[0-4][0-9][0-8]", 355, 1.5, 28),
    (r"001[0-4][0-9][0-8]", 355, 2, 33),
    (r"0010[0-4][0-6][0-8]", 200, 1, 10),
    (r"002[0-4][0-9][0-8]", 355, 2, 66),
    (r"003[0-4][0-9][0-8]", 355, 4, 94),
    (r"004[0-4][0-9][0-8]", 355, 1.5, 97),
    (r"008[0-4][0-9][0-8]", 355, 2, 42),
    (r"009[0-4][0-6][0-8]", 200, 2, 11),
    (r"010[0-4][0-9][0-8]", 355, 1.5, 28),
    (r"011[0-4][0-9][0-8]", 355, 2, 33),
    (r"012[0-4][0-9][0-8]", 355, 2, 66),
    (r"013[0-4][0-9][0-8]", 355, 4, 94),
    (r"014[0-4][0-9][0-8]", 355, 1.5, 97),
    (r"018[0-4][0-9][0-8]", 355, 2, 42),
    (r"121111[12][0-57-9]1[0-4]", 70, 90, 850),
    (r"121111[12][0-9]9", 15, 90, 660),
    (r"131[23][05-7][0237][0-5]", 96, 30, 90),
    (r"131[23][05-7][23][15][25-7]", 64, 30, 80),
    (r"131[23][05-7]251[67]", 16, 30, 50),
] + [
    (r"13%s[05-7][0237][0-5]" % g, 48, 30, 50) for g in "3567"
] + [
    (r"13%s[05-7][23][15][25-7]" % g, 32, 30, 80) for g in "3567"
] + [
    (r"13%s[05-7]251[67]" % g, 8, 30, 50) for g in "3567"
] + [
    (r"0015000", 1, 10, 10), (r"0115000", 1, 10, 10), (r"500000", 1, 10, 10),
    (r"600000", 1, 20, 20), (r"510000", 1, 10, 10), (r"610000", 1, 20, 20),
]


def check(families):
    pairs = [pair for _, rows in families for pair in rows]
    keys = [k for k, _ in pairs]
    price = dict(pairs)
    assert len(pairs) == 5279, len(pairs)
    assert len(set(keys)) == len(keys), "duplicate keys"
    for key, p in pairs:
        assert re.fullmatch(r"[0-9]{6,10}", key), key
        assert p == 1.5 or (p == int(p) and p >= 1), (key, p)
    assert min(price.values()) == 1 and max(price.values()) == 850

    # every key in exactly one family, each family its count and its exact range
    for key in keys:
        hits = [pat for pat, *_ in PATTERNS if re.fullmatch(pat, key)]
        assert len(hits) == 1, (key, hits)
    for pat, count, low, high in PATTERNS:
        members = [price[k] for k in keys if re.fullmatch(pat, k)]
        assert len(members) == count, (pat, len(members))
        assert (min(members), max(members)) == (low, high), (pat, min(members), max(members))
    for g in "3567":  # each of the four interior formats spans the whole range of its row
        for pat, low, high in ((r"13%s[05-7][0237][0-5]", 30, 50),
                               (r"13%s[05-7][23][15][25-7]", 30, 80),
                               (r"13%s[05-7]251[67]", 30, 50)):
            members = [price[k] for k in keys if re.fullmatch(pat % g, k)]
            assert (min(members), max(members)) == (low, high), pat % g

    # sheet families: 71 (or 40) identical combinations under each colour
    for code, *_ in SHEET_FORMATS:
        tails = [[k[3 + len(code):] for k in keys
                  if k.startswith("00" + code + str(c)) and len(k) == 5 + len(code)
                  and re.fullmatch(r"00%s[0-4][0-9][0-8]" % code, k)] for c in range(5)]
        assert all(t == tails[0] for t in tails), code
        assert len(tails[0]) == (40 if code in ("9", "10") else 71), code
        # on one paper, a heavier sheet never costs less
        for colour in range(5):
            for paper in range(10):
                row = [price["00%s%d%d%d" % (code, colour, paper, d)] for d in range(9)
                       if "00%s%d%d%d" % (code, colour, paper, d) in price]
                assert row == sorted(row), (code, colour, paper, row)
    for code in BROCHURE_FORMATS:
        for k in keys:
            if re.fullmatch(r"00%s[0-4][0-9][0-8]" % code, k):
                assert price["01" + k[2:]] == price[k], k

    # interior: of the 320 keys the page composes exactly its 128 are present
    composed = ["13%s%d%d%d" % (f, c, t, d) for f in (5, 6, 7, 12) for c in (0, 2, 5, 6, 7)
                for t in (0, 2, 3, 7) for d in (0, 2, 3, 4)]
    assert len(composed) == 320
    assert sum(k in price for k in composed) == 128
    assert sum(1 for k in keys if k.startswith("13")) == 528

    # every fixed price holds
    for key, p in QUOTED.items():
        assert price.get(key) == p, (key, price.get(key), p)
    return pairs


def main():
    families = build()
    pairs = check(families)
    rule = dict(pair for code, a, b, low, high in SHEET_FORMATS
                for pair in sheet_family(code, a, b, low, high))
    fixed = sorted(k for k in list(QUOTED) + list(FLOOR_PRICES)
                   if k in rule and rule[k] != dict(pairs)[k])
    with open(OUTPUT, "w", encoding="ascii", newline="\n") as out:
        for key, p in pairs:
            out.write("%s\t%s\n" % (key, "1.5" if p == 1.5 else int(p)))
    print("wrote %d prices to %s; sheet prices fixed over the rule: %s"
          % (len(pairs), os.path.normpath(OUTPUT), " ".join(fixed)), file=sys.stderr)


if __name__ == "__main__":
    main()
