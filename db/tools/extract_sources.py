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
db/sources/README.md for where they come from). It also writes db/sources/SHA256SUMS, the
SHA-256 of each extract and of the Compendium table copied by hand
(db/tools/recipes/compendium_2011.tsv), which db/tools/check_seed.py verifies, so that a value
edited by hand in a source is caught without the full tables; after a deliberate edit of the
Compendium table, `--pin` rewrites SHA256SUMS alone.
  python3 db/tools/extract_sources.py --check --from DIR
writes nothing and says whether the extracts are exactly what the full tables give (the rows
the tools use, each equal to its row of the full table). Standard library only.
"""
import argparse
import csv
import hashlib
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
SOURCES = os.path.join(REPO, "db", "sources")
FOODS = os.path.join(REPO, "db", "tools", "foods")
REQUIRED = os.path.join(REPO, "db", "tools", "recipes", "required_ciqual_codes.txt")
# The sources no tool derives, pinned by their SHA-256 (paths relative to db/).
PINNED = ["sources/ciqual-2020/ciqual.tsv", "sources/usda-sr28/ABBREV.txt",
          "tools/recipes/compendium_2011.tsv"]
MANIFEST = os.path.join(SOURCES, "SHA256SUMS")


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


def extract(source, key_of, wanted, header):
    """The lines of `source` whose key is wanted, unchanged, and the wanted keys it lacks."""
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
    return out, wanted - found


def pin_lines():
    """The lines of SHA256SUMS for the pinned files as they are now (sha256sum's format)."""
    lines = []
    for path in PINNED:
        with open(os.path.join(REPO, "db", path), "rb") as f:
            lines.append(f"{hashlib.sha256(f.read()).hexdigest()}  {path}\n")
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--from", dest="full",
                        help="folder holding the full ciqual-2020/ and usda-sr28/ tables")
    parser.add_argument("--check", action="store_true",
                        help="compare the extracts with the full tables, write nothing")
    parser.add_argument("--pin", action="store_true", help="rewrite SHA256SUMS only")
    args = parser.parse_args()
    if args.pin:
        with open(MANIFEST, "w", encoding="utf-8", newline="\n") as f:
            f.writelines(pin_lines())
        return 0
    if not args.full:
        parser.error("--from DIR is needed")
    ciqual, usda = wanted_codes()
    tables = [("Ciqual codes", os.path.join("ciqual-2020", "ciqual.tsv"),
               lambda l: l.split(b"\t", 1)[0].decode("utf-8"), ciqual, True),
              ("USDA numbers", os.path.join("usda-sr28", "ABBREV.txt"),
               lambda l: l.split(b"^", 1)[0].strip(b"~").decode("latin-1"), usda, False)]
    extracts = []
    for what, path, key_of, wanted, header in tables:
        lines, missing = extract(os.path.join(args.full, path), key_of, wanted, header)
        if missing:
            print(f"extract_sources: {what} not in the full table: " + ", ".join(sorted(missing)),
                  file=sys.stderr)
            return 1
        extracts.append((os.path.join(SOURCES, path), lines, len(lines) - (1 if header else 0)))
    if args.check:
        differing = []
        for target, lines, _ in extracts:
            with open(target, "rb") as f:
                kept = f.readlines()
            if kept != lines:
                extra = sorted(set(kept) - set(lines))
                differing.append(f"{os.path.relpath(target, REPO)}: {len(extra)} lines not as in the "
                                 f"full table or not used, {len(set(lines) - set(kept))} missing; "
                                 f"first: {extra[0][:100] if extra else b''!r}")
        for line in differing:
            print("extract_sources: " + line, file=sys.stderr)
        if differing:
            return 1
        print(f"the extracts are the full tables' rows ({extracts[0][2]} Ciqual, "
              f"{extracts[1][2]} USDA)")
        return 0
    for target, lines, _ in extracts:
        with open(target, "wb") as f:
            f.writelines(lines)
    with open(MANIFEST, "w", encoding="utf-8", newline="\n") as f:
        f.writelines(pin_lines())
    print(f"{extracts[0][2]} Ciqual rows, {extracts[1][2]} USDA rows written under db/sources/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
