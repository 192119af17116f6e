#!/usr/bin/env python3
"""Checks that the data tools refuse the slips their rules forbid.

  python3 db/tools/check_refusals.py

Each case below edits one source in a temporary copy of db/ (a text replaced, or a line added
when the text to replace is empty), runs the tool that reads it and expects it to stop with the
message that names the rule; a case marked "ok" expects it to accept the edit (an edge the rule
allows). The tools' other guards stop on the data of the repository itself, which
check_seed.py runs. Standard library only; the seed checks of tests/seed run it.
"""
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DB = os.path.normpath(os.path.join(HERE, ".."))
FOODS, RECIPES = "db/tools/foods/build_foods.py", "db/tools/recipes/build_recipes.py"
NAMES, RECIPE_FILE = "tools/foods/names.tsv", "tools/recipes/recipes.txt"
BANANA = "3\t13005\t1\t1\tBanane\tBanana\tBanane\tBanana\tPlátano\t\t\t"
QUICHE_THEMES = "themes: 11, 15, 1, 2\n"
BOLOGNESE = "  9810 400 spaghetti"
SAMPHIRE = "neither table gives the fibre of samphire; none is counted rather than a guess"
PEANUT = ("\tthe twin's fibre does not fit Ciqual's composition: taken down to the room its lipids, proteins "
          "and carbohydrates leave beside the twin's water and ash\n15002")
COOKING = "tools/recipes/alcohol_cooking.tsv"
MOULES = "Moules marinières\t5215\t200\tbrief\t8"

# (file under db/, text, replacement, tool, message expected, or "ok")
CASES = [
    (NAMES, BANANA, BANANA.replace("Banane\tBanana", "Banane" + "x" * 30 + "\tBanana", 1), FOODS, "(at most 32)"),
    (NAMES, BANANA, BANANA + "alcohol", FOODS, "energy from alcohol needs a row"),
    ("tools/foods/alcohol.tsv", "", "13005\tBanane\t1\tslip\n", FOODS, "alcohol.tsv: code 13005 is not"),
    ("tools/foods/pieces.tsv", "10\tFraise\t12\t", "10\tFraise\t4.9\t", FOODS, "outside 5.0..350.0 g"),
    ("tools/foods/pieces.tsv", "10\tFraise\t12\t", "10\tFraise\t5\t", FOODS, "ok"),
    ("tools/foods/piece_bands.tsv", "1\t5\t350\t", "1\t13\t350\t", FOODS, "outside 13.0..350.0 g"),
    ("tools/foods/fibre.tsv", "20283\tSalicorne\t\t\t0\t", "20283\tSalicorne\t\t\t50.1\t", FOODS, "is implausible"),
    ("tools/foods/fibre.tsv", "20283\tSalicorne\t\t\t0\t", "20283\tSalicorne\t\t\t50\t", FOODS, "ok"),
    ("tools/foods/fibre.tsv", SAMPHIRE, "", FOODS, "a value by hand needs its reason"),
    ("tools/foods/fibre.tsv", "20283\tSalicorne\t\t\t0\t" + SAMPHIRE + "\n", "", FOODS, "a plant food whose energy counts no fibre"),
    ("tools/foods/fibre.tsv", PEANUT, "\t\n15002", FOODS, "does not fit Ciqual's composition"),
    ("tools/foods/energy_outliers.tsv", "13034\tOrange\t", "13034x\tOrange\t", FOODS, "13034\tOrange\t"),
    ("tools/foods/measures.tsv", "1\tCuillère à café\t5\t", "1\tCuillère à café\t0\t", FOODS, "ValeurUnite must be above 0"),
    ("sources/ciqual-2020/ciqual.tsv", "virgin\t900\t0.25\t0\t99.9", "virgin\t900\t0.25\t0\t100.25", FOODS, "exceed 100 g by 0.5"),
    (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 1, 2, 3\n", RECIPES, "one to 4 different themes"),
    (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 1, 1\n", RECIPES, "one to 4 different themes"),
    (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 2\n", RECIPES, "ok"),
    (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15\n", RECIPES, "no course among its themes"),
    (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 1, 5\n", RECIPES, "vegetarian theme, but"),
    (RECIPE_FILE, "themes: 12, 13, 15, 5\n", "themes: 12, 13, 15\n", RECIPES, "needs the vegetarian theme"),
    (RECIPE_FILE, "temps: 01:00:00", "temps: 00:00:00", RECIPES, "preparation time"),
    (RECIPE_FILE, "  11048 1 muscade", "  11048 0 muscade", RECIPES, "quantity must be above 0 g"),
    (RECIPE_FILE, "  11048 1 muscade", "  11015 1 muscade", RECIPES, "an ingredient is listed twice"),
    (RECIPE_FILE, BOLOGNESE, "  9810 801 spaghetti", RECIPES, "take up 1201.5 g"),
    (RECIPE_FILE, BOLOGNESE, "  9810 800 spaghetti", RECIPES, "ok"),
    ("tools/recipes/steps_en.txt", "", "[recette]\nfr: Quiche lorraine\netapes:\n", RECIPES, "its French name and its steps"),
    ("tools/recipes/steps_en.txt", "  Serves 6. Preheat the oven to 180 °C.\n", "", RECIPES, "'Quiche lorraine' has 5 steps"),
    (COOKING, MOULES, "Moules marinières\t5215\t200\tbrief\t15", RECIPES, "a brief cooking lasts under 15 minutes"),
    (COOKING, MOULES, "Moules marinières\t5215\t200\tbrief\t14", RECIPES, "ok"),
    (COOKING, MOULES, "Moules marinières\t5215\t200\tsimmered\t14", RECIPES, "no retention of alcohol"),
    (COOKING, MOULES, "Moules marinières\t5215\t300\tbrief\t8", RECIPES, "more than the"),
    (COOKING, "", "Moules marinières\t5214\t10\tbrief\t8\tslip\n", RECIPES, "rows for no alcoholic drink"),
    ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t0.8\t", RECIPES, "outside the Compendium's range"),
    ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t23.1\t", RECIPES, "outside the Compendium's range"),
    ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t0.9\t", RECIPES, "ok"),
    ("tools/recipes/themes.tsv", "6\tSoupes et potages\t", "28\tSoupes et potages\t", RECIPES, "outside 1..27"),
    ("tools/recipes/themes.tsv", "6\tSoupes et potages\tSoups\tSuppen\tZuppe e minestre\tSopas y potajes\t",
     "6\tSoupes et potages\tSoups\tSuppen\tZuppe e minestre\tSopas y potajes\tPlats", RECIPES, "is not the course"),
]


def run_case(case):
    path, text, replacement, tool, expected = case
    with tempfile.TemporaryDirectory(prefix="vivanda-refusal-") as clone:
        shutil.copytree(DB, os.path.join(clone, "db"), ignore=shutil.ignore_patterns("__pycache__"))
        target = os.path.join(clone, "db", path)
        with open(target, encoding="utf-8", newline="") as f:
            content = f.read()
        if text and text not in content:
            return f"{path}: '{text.strip()}' is no longer there; update the case"
        content = content.replace(text, replacement, 1) if text else content + replacement
        with open(target, "w", encoding="utf-8", newline="") as f:
            f.write(content)
        run = subprocess.run([sys.executable, "-B", tool], cwd=clone, capture_output=True, text=True,
                             timeout=300)
        said = run.stderr + run.stdout
        if expected == "ok":
            return None if run.returncode == 0 else f"{path}: '{replacement.strip()}' refused: {said.strip()}"
        if run.returncode != 0 and expected in said:
            return None
        return f"{path}: '{replacement.strip()}' not refused with '{expected}': {said.strip()[-300:]}"


def main():
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        problems = [p for p in pool.map(run_case, CASES) if p]
    for problem in problems:
        print("check_refusals: " + problem, file=sys.stderr)
    if problems:
        return 1
    print(f"{len(CASES)} cases: the tools refuse every slip and accept every edge")
    return 0


if __name__ == "__main__":
    sys.exit(main())
