#!/usr/bin/env python3
"""Checks that the shipped seed is what the data tools make of their sources.

  python3 db/tools/check_seed.py [--full DIR]

- Copies db/ into a temporary folder, runs there the two commands of db/README.md (foods, then
  recipes) and compares every file of the copy with the repository's, byte for byte: a seed
  file, food_sources.tsv, required_ciqual_codes.txt or a README count that the tools would
  write otherwise, or a change of a tool that changes what it writes, is named.
- Verifies db/sources/SHA256SUMS: the source extracts and the Compendium table copied by hand
  are those extract_sources.py wrote or pinned, so a value edited by hand is caught.
- When the full public tables are there (DIR, by default ../shared/data beside the
  repository), runs `extract_sources.py --check`: every extract row is the row of the full
  table, and the extracts hold exactly the rows the tools use.

Writes nothing in the repository; exit status 0 when all hold, 1 otherwise, with the reasons.
Standard library only; the seed checks of tests/seed run it.
"""
import argparse
import filecmp
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
DB = os.path.join(REPO, "db")
TOOLS = ["db/tools/foods/build_foods.py", "db/tools/recipes/build_recipes.py"]


def differing_files(left, right):
    """Paths (relative to `left`) of the files that differ between two trees or are in one only."""
    found = []
    for root, dirs, files in os.walk(left):
        dirs[:] = [d for d in dirs if d != "__pycache__"]
        for name in files:
            path = os.path.relpath(os.path.join(root, name), left)
            other = os.path.join(right, path)
            if not os.path.isfile(other) or not filecmp.cmp(os.path.join(root, name), other, shallow=False):
                found.append(path)
    for root, dirs, files in os.walk(right):
        dirs[:] = [d for d in dirs if d != "__pycache__"]
        found += [os.path.relpath(os.path.join(root, n), right) for n in files
                  if not os.path.exists(os.path.join(left, os.path.relpath(os.path.join(root, n), right)))]
    return sorted(found)


def regenerate():
    """Problems found regenerating the seed in a copy of db/."""
    with tempfile.TemporaryDirectory(prefix="vivanda-seed-") as clone:
        shutil.copytree(DB, os.path.join(clone, "db"),
                        ignore=shutil.ignore_patterns("__pycache__"))
        for tool in TOOLS:
            run = subprocess.run([sys.executable, "-B", tool], cwd=clone, capture_output=True,
                                 text=True, timeout=300)
            if run.returncode != 0:
                return [f"{tool} fails: {run.stderr.strip() or run.stdout.strip()}"]
        return [f"db/{path}: not what the tools write from the sources (re-run the commands of "
                "db/README.md, or mend the tool)" for path in differing_files(DB, os.path.join(clone, "db"))]


def pinned():
    """Problems with db/sources/SHA256SUMS."""
    problems = []
    manifest = os.path.join(DB, "sources", "SHA256SUMS")
    with open(manifest, encoding="utf-8") as f:
        entries = [line.rstrip("\n").split("  ", 1) for line in f if line.strip()]
    if not entries:
        problems.append("db/sources/SHA256SUMS is empty")
    for digest, path in entries:
        with open(os.path.join(DB, path), "rb") as f:
            if hashlib.sha256(f.read()).hexdigest() != digest:
                problems.append(f"db/{path}: not the extract or table pinned in db/sources/SHA256SUMS "
                                "(refresh extracts with extract_sources.py; pin a deliberate "
                                "edit of the Compendium table with --pin)")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--full", default=os.path.join(REPO, "..", "shared", "data"),
                        help="folder of the full public tables (default: ../shared/data)")
    args = parser.parse_args()
    problems = regenerate() + pinned()
    full = os.path.normpath(args.full)
    compared = os.path.isfile(os.path.join(full, "ciqual-2020", "ciqual.tsv"))
    if compared:
        run = subprocess.run([sys.executable, "-B", os.path.join(HERE, "extract_sources.py"),
                              "--check", "--from", full], capture_output=True, text=True,
                             timeout=300)
        if run.returncode != 0:
            problems.append(run.stderr.strip())
    for problem in problems:
        print("check_seed: " + problem, file=sys.stderr)
    if problems:
        return 1
    print("the seed is what the tools make of the sources; the sources are those pinned; "
          + (f"the extracts are the rows of the full tables in {full}" if compared
             else f"no full tables in {full}: extracts not compared with them"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
