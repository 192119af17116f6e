#!/usr/bin/env python3
"""Refreshes the source extracts kept under db/sources/ from the full public tables.

The food and recipe tools read only db/sources/, so that a clone regenerates the seed with
nothing else. The extracts keep the rows those tools use, which keeps the repository small:
  db/sources/ciqual-2020/ciqual.tsv   the Ciqual rows named in db/tools/foods/names.tsv and in
                                      db/tools/recipes/required_ciqual_codes.txt (header kept)
  db/sources/usda-sr28/ABBREV.txt     the USDA rows named in names.tsv, densities.tsv and
                                      fibre.tsv, byte for byte (Latin-1, CRLF, as published)

Only needed when a food with a new Ciqual code or USDA number is added: add its row to
names.tsv first, then run
  python3 db/tools/extract_sources.py --from DIR
where DIR holds ciqual-2020/ciqual.tsv and usda-sr28/ABBREV.txt in full (see
db/sources/README.md for where they come from). Standard library only.
"""
import argparse
import csv
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
SOURCES = os.path.join(REPO, "db", "sources")
FOODS = os.path.join(REPO, "db", "tools", "foods")
REQUIRED = os.path.join(REPO, "db", "tools", "recipes", "required_ciqual_codes.txt")


def tsv_column(path, column):
    with open(path, encoding="utf-8", newline="") as f:
        lines = [l for l in f if l.strip() and not l.startswith("#")]
    # A fibre twin may be several USDA numbers joined by '+' (the mean of a mix).
    return {value for row in csv.DictReader(lines, delimiter="\t", quoting=csv.QUOTE_NONE)
            for value in row[column].strip().split("+") if value}


def wanted_codes():
    ciqual = tsv_column(os.path.join(FOODS, "names.tsv"), "ciqual")
    if os.path.exists(REQUIRED):
        with open(REQUIRED, encoding="utf-8") as f:
            ciqual |= {l.strip() for l in f if l.strip() and not l.startswith("#")}
    usda = tsv_column(os.path.join(FOODS, "names.tsv"), "ndb")
    usda |= tsv_column(os.path.join(FOODS, "densities.tsv"), "ndb")
    usda |= tsv_column(os.path.join(FOODS, "fibre.tsv"), "ndb")
    return ciqual, usda


def extract(source, target, key_of, wanted, header):
    """Copies the lines of `source` whose key is wanted, unchanged; returns the missing keys."""
    found = set()
    out = []
    with open(source, "rb") as f:
        for n, line in enumerate(f):
            if header and n == 0:
                out.append(line)
                continue
            key = key_of(line)
            if key in wanted:
                found.add(key)
                out.append(line)
    missing = wanted - found
    if not missing:
        with open(target, "wb") as f:
            f.writelines(out)
    return missing, len(out) - (1 if header else 0)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--from", dest="full", required=True,
                        help="folder holding the full ciqual-2020/ and usda-sr28/ tables")
    args = parser.parse_args()
    ciqual, usda = wanted_codes()
    missing, n_ciqual = extract(os.path.join(args.full, "ciqual-2020", "ciqual.tsv"),
                                os.path.join(SOURCES, "ciqual-2020", "ciqual.tsv"),
                                lambda l: l.split(b"\t", 1)[0].decode("utf-8"), ciqual, True)
    if missing:
        print("extract_sources: Ciqual codes not in the full table: " + ", ".join(sorted(missing)),
              file=sys.stderr)
        return 1
    missing, n_usda = extract(os.path.join(args.full, "usda-sr28", "ABBREV.txt"),
                              os.path.join(SOURCES, "usda-sr28", "ABBREV.txt"),
                              lambda l: l.split(b"^", 1)[0].strip(b"~").decode("latin-1"),
                              usda, False)
    if missing:
        print("extract_sources: USDA numbers not in the full table: " + ", ".join(sorted(missing)),
              file=sys.stderr)
        return 1
    print(f"{n_ciqual} Ciqual rows, {n_usda} USDA rows written under db/sources/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
