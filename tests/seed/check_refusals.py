#!/usr/bin/env python3
"""Checks that the data tools refuse the slips their rules forbid.

  python3 tests/seed/check_refusals.py

Each case below edits sources in a temporary copy of db/ (a text replaced, or a line added
when the text to replace is empty), runs the tool that reads them and expects it to stop with
the message that names the rule; a case marked "ok" expects it to accept the edit (an edge the
rule allows) and, when "ok seed_file:text" names one, to write that text in that seed file. The tools' other guards stop on the data of the repository itself, which
db/tools/check_seed.py runs. Standard library only; the seed checks of tests/seed run it.
"""
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DB = os.path.normpath(os.path.join(HERE, "..", "..", "db"))
FOODS, RECIPES = "db/tools/foods/build_foods.py", "db/tools/recipes/build_recipes.py"
# The checks of the data are checked too: db/tools/check_seed.py on a copy edited by hand, and
# extract_sources.py --check taking the copy's extracts for the full tables.
CHECK = "db/tools/check_seed.py"
EXTRACT = ("db/tools/extract_sources.py", "--check", "--from", "db/sources")
NAMES, RECIPE_FILE = "tools/foods/names.tsv", "tools/recipes/recipes.txt"
BANANA = "3\t13005\t1\t1\tBanane\tBanana\tBanane\tBanana\tPlátano\t\t\t"
QUICHE_THEMES = "themes: 11, 15, 1, 2\n"
BOLOGNESE = "themes: 16, 9, 2\ningredients:\n  9810 400 "
SAMPHIRE = "neither table gives the fibre of samphire; none is counted rather than a guess"
PEANUT = ("\tthe twin's fibre does not fit Ciqual's composition: taken down to the room its lipids, proteins "
          "and carbohydrates leave beside the twin's water and ash\n15002")
COOKING = "tools/recipes/alcohol_cooking.tsv"
ABBREV, MILK = "sources/usda-sr28/ABBREV.txt", "^0.073^8^244^~1 cup~^"    # semi-skimmed milk, 01079
NUTMEG = "  19041 200 lait demi-écrémé\n  11048 1 "
MOULES = "Moules marinières\t5215\t200\tbrief\t8"

# (tool, what it must say, or "ok", or "ok seed_file:text it must write", then the edits: (file
# under db/, text, replacement; None removes the file))
CASES = [
    (CHECK, "db/seed/t_aliments.tsv: not what the tools write", ("seed/t_aliments.tsv", "\n1\tPomme\t", "\n1\tPommes\t")),
    (CHECK, "db/README.md: not what the tools write", ("README.md", "| `t_recettes` | ", "| `t_recettes` | 1")),
    (CHECK, "tools/recipes/compendium_2011.tsv: not the extract or table pinned",
     ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t8.6\t")),
    (CHECK, "db/tools/foods/build_foods.py fails: build_foods: names.tsv food 0", (NAMES, "\n13\t13029\t", "\n0\t13029\t")),
    (CHECK, "db/seed/t_activites.tsv: not what the tools write", ("seed/t_activites.tsv", "", None)),
    (EXTRACT, "ok"),
    ((CHECK, "--full", "db/sources"), "check_seed: extract_sources: db/sources/ciqual-2020/ciqual.tsv: 1 lines not as in",
     ("sources/ciqual-2020/ciqual.tsv", "", "99999\tg\ts\tn\tn\t1\t1\t1\t1\n")),
    (EXTRACT, "ciqual.tsv: 1 lines not as in the full table or not used", ("sources/ciqual-2020/ciqual.tsv", "", "99999\tx\n")),
    (FOODS, "(at most 32)", (NAMES, BANANA, BANANA.replace("Banane\tBanana", "Banane" + "x" * 30 + "\tBanana", 1))),
    (FOODS, "energy from alcohol needs a row", (NAMES, BANANA, BANANA + "alcohol")),
    (FOODS, "bad id '32768'", (NAMES, "\n13\t13029\t", "\n32768\t13029\t")),
    (FOODS, "ok", (NAMES, "\n13\t13029\t", "\n32767\t13029\t")),
    (FOODS, "id 12 used twice", (NAMES, "\n13\t13029\t", "\n12\t13029\t")),
    # the trace taken off is the carbohydrates' when they are the smallest value
    (FOODS, "ok t_aliments.tsv:\tAceite de oliva\t9\t0.999\t0\t0.001\t",
     ("sources/ciqual-2020/ciqual.tsv", "virgin\t900\t0.25\t0\t99.9", "virgin\t900\t0\t0.25\t99.9")),
    (FOODS, "bad id '0'", (NAMES, "\n13\t13029\t", "\n0\t13029\t")),
    (FOODS, "food 1 must be an everyday food", (NAMES, "1\t13039\t1\t1\tPomme\t", "1\t13039\t1\t0\tPomme\t")),
    (FOODS, "'1 cup, sections without membranes' is not a piece", (NAMES, "Naranja\t09202\t2\t", "Naranja\t09202\t1\t")),
    (FOODS, "household weight index must be 1 or 2, not '3'", (NAMES, "Naranja\t09202\t2\t", "Naranja\t09202\t3\t")),
    (FOODS, "USDA 09202 has no household weight 2", (ABBREV, "membranes~^140^", "membranes~^0^")),
    (FOODS, "unknown food or listed twice", ("tools/foods/pieces.tsv", "", "10\tFraise\t12\ttwice\n")),
    (FOODS, "energy from alcohol needs a row", (NAMES, BANANA, BANANA + "alcohol"),
     ("tools/foods/alcohol.tsv", "", "13005\tBanane\t1\tslip\n")),
    (FOODS, "densities.tsv food 1: Ciqual code 19999", ("tools/foods/densities.tsv", "1\t19041\t01079", "1\t19999\t01079")),
    (FOODS, "ok t_densites.tsv:\tLeche semidesnatada\t0.2029\n", (ABBREV, MILK, "^0.073^8^1^~1 tsp~^")),
    (FOODS, "fibre.tsv: code 13005 is not a shipped food whose energy Ciqual leaves out",
     ("tools/foods/fibre.tsv", "", "13005\tBanane\t09040\tBananas, raw\t\t\n")),
    # every name of a volume counts its millilitres: 244 g a cup of milk, however the cup is written
    *[(FOODS, "ok t_densites.tsv:\tLeche semidesnatada\t1.0313\n", (ABBREV, MILK, MILK.replace("1 cup", volume)))
      for volume in ("16 tablespoon", "48 teaspoon", "48 tsp", "16 tbsp", "8 fl oz")],
    (FOODS, "alcohol.tsv: code 13005 is not", ("tools/foods/alcohol.tsv", "", "13005\tBanane\t1\tslip\n")),
    (FOODS, "outside 5.0..350.0 g", ("tools/foods/pieces.tsv", "10\tFraise\t12\t", "10\tFraise\t4.9\t")),
    (FOODS, "ok", ("tools/foods/pieces.tsv", "10\tFraise\t12\t", "10\tFraise\t5\t")),
    (FOODS, "grams 'x' is not a number", ("tools/foods/pieces.tsv", "10\tFraise\t12\t", "10\tFraise\tx\t")),
    (FOODS, "'1 glass' is not a volume", (ABBREV, MILK, MILK.replace("1 cup", "1 glass"))),
    (FOODS, "outside 13.0..350.0 g", ("tools/foods/piece_bands.tsv", "1\t5\t350\t", "1\t13\t350\t")),
    (FOODS, "is implausible", ("tools/foods/fibre.tsv", "20283\tSalicorne\t\t\t0\t", "20283\tSalicorne\t\t\t50.1\t")),
    (FOODS, "ok", ("tools/foods/fibre.tsv", "20283\tSalicorne\t\t\t0\t", "20283\tSalicorne\t\t\t50\t")),
    (FOODS, "a value by hand needs its reason", ("tools/foods/fibre.tsv", SAMPHIRE, "")),
    (FOODS, "a plant food whose energy counts no fibre", ("tools/foods/fibre.tsv", "20283\tSalicorne\t\t\t0\t" + SAMPHIRE + "\n", "")),
    (FOODS, "does not fit Ciqual's composition", ("tools/foods/fibre.tsv", PEANUT, "\t\n15002")),
    # the rest of the line turned into a comment: two twins and no reason
    (FOODS, "a mean of twins or a value by hand needs its reason", ("tools/foods/fibre.tsv",
     "13997\tFruits rouges\t09302+09316+09084\t", "13997\tFruits rouges\t09302+09316\tx\t\t\n#")),
    (FOODS, "13034\tOrange\t", ("tools/foods/energy_outliers.tsv", "13034\tOrange\t", "13034x\tOrange\t")),
    (FOODS, "ValeurUnite must be above 0", ("tools/foods/measures.tsv", "1\tCuillère à café\t5\t", "1\tCuillère à café\t0\t")),
    (FOODS, "exceed 100 g by 0.5", ("sources/ciqual-2020/ciqual.tsv", "virgin\t900\t0.25\t0\t99.9", "virgin\t900\t0.25\t0\t100.25")),
    (RECIPES, "one to 4 different themes", (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 1, 2, 3\n")),
    (RECIPES, "one to 4 different themes", (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 1, 1\n")),
    (RECIPES, "ok", (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 2\n")),
    (RECIPES, "no course among its themes", (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15\n")),
    (RECIPES, "vegetarian theme, but", (RECIPE_FILE, QUICHE_THEMES, "themes: 11, 15, 1, 5\n")),
    (RECIPES, "needs the vegetarian theme", (RECIPE_FILE, "themes: 12, 13, 15, 5\n", "themes: 12, 13, 15\n")),
    (RECIPES, "preparation time", (RECIPE_FILE, "es: Quiche lorena\ntemps: 01:00:00", "es: Quiche lorena\ntemps: 00:00:00")),
    (RECIPES, "quantity must be above 0 g", (RECIPE_FILE, NUTMEG, NUTMEG.replace("11048 1", "11048 0"))),
    (RECIPES, "an ingredient is listed twice", (RECIPE_FILE, NUTMEG, NUTMEG.replace("11048", "11015"))),
    (RECIPES, "take up 1201.5 g", (RECIPE_FILE, BOLOGNESE, BOLOGNESE.replace("400", "801"))),
    (RECIPES, "ok", (RECIPE_FILE, BOLOGNESE, BOLOGNESE.replace("400", "800"))),
    (RECIPES, "its French name and its steps", ("tools/recipes/steps_en.txt", "", "[recette]\nfr: Quiche lorraine\netapes:\n")),
    (RECIPES, "'Quiche lorraine' has 5 steps", ("tools/recipes/steps_en.txt", "Quiche lorraine\netapes:\n  Serves 6. Preheat the oven to 180 °C.\n", "Quiche lorraine\netapes:\n")),
    (RECIPES, "a brief cooking lasts under 15 minutes", (COOKING, MOULES, "Moules marinières\t5215\t200\tbrief\t15")),
    (RECIPES, "ok", (COOKING, MOULES, "Moules marinières\t5215\t200\tbrief\t14")),
    (RECIPES, "ok", (RECIPE_FILE, "  20097 80 échalotes\n  5215 200", "  20097 80 échalotes\n  5215 170")),
    # a drink's water joins the recipe's own water line
    (RECIPES, "ok t_ingredients_recettes.tsv:\n43\t479\t40\n", (RECIPE_FILE, "  20097 80 échalotes\n", "  20097 80 échalotes\n  18066 10 eau\n")),
    (RECIPES, "ingredient line must be 'code grams name'", (RECIPE_FILE, NUTMEG, NUTMEG.replace("11048", "x11048"))),
    (RECIPES, "Ciqual codes not in the Ciqual table: ['99999']", (RECIPE_FILE, NUTMEG, NUTMEG.replace("11048", "99999"))),
    (RECIPES, "indented line outside 'etapes:'",
     ("tools/recipes/steps_en.txt", "[recette]\nfr: Quiche lorraine\n", "[recette]\n  x\nfr: Quiche lorraine\n")),
    (RECIPES, "expected 'fr: <French name>' once, then 'etapes:'",
     ("tools/recipes/steps_en.txt", "Quiche lorraine\netapes:\n", "Quiche lorraine\netapes: x\n")),
    (RECIPES, "food category 3 unknown or mapped twice", ("tools/recipes/catconso.tsv", "\t4 5 6 7 8\n", "\t3 4 5 6 7 8\n")),
    (RECIPES, "ok t_ingredients_recettes.tsv:\n43\t479\t0.5\n", (RECIPE_FILE, "  20097 80 échalotes\n  5215 200", "  20097 80 échalotes\n  5215 170.5")),
    (RECIPES, "no retention of alcohol", (COOKING, MOULES, "Moules marinières\t5215\t200\tsimmered\t14")),
    (RECIPES, "more than the", (COOKING, MOULES, "Moules marinières\t5215\t300\tbrief\t8")),
    (RECIPES, "rows for no alcoholic drink", (COOKING, "", "Moules marinières\t5214\t10\tbrief\t8\tslip\n")),
    (RECIPES, "outside the Compendium's range", ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t0.8\t")),
    (RECIPES, "outside the Compendium's range", ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t23.1\t")),
    (RECIPES, "ok", ("tools/recipes/compendium_2011.tsv", "01009\t8.5\t", "01009\t0.9\t")),
    (RECIPES, "theme 1 must come first", ("tools/recipes/themes.tsv", "\n1\tEntrées\t", "\n26\tEntrées\t")),
    (RECIPES, "code '01009' malformed or listed twice", ("tools/recipes/compendium_2011.tsv", "", "01009\t8.5\ttwice\n")),
    (RECIPES, "ok", ("README.md", "", "| `t_unseeded` | 0 | a table without a seed file keeps its row |\n")),
    (RECIPES, "activities: name 'Dormir' used by", ("tools/recipes/activities.tsv", "\tVer la televisión\n", "\tDormir\n")),
    (RECIPES, "outside 1..27", ("tools/recipes/themes.tsv", "6\tSoupes et potages\t", "28\tSoupes et potages\t")),
    (RECIPES, "is not the course", ("tools/recipes/themes.tsv", "6\tSoupes et potages\tSoups\tSuppen\tZuppe e minestre\tSopas y potajes\t", "6\tSoupes et potages\tSoups\tSuppen\tZuppe e minestre\tSopas y potajes\tPlats")),
]


def run_case(case):
    tool, expected, *edits = case
    slip = " and ".join(f"{path}: '{(replacement or 'removed').strip()}'" for path, _, replacement in edits)
    with tempfile.TemporaryDirectory(prefix="vivanda-refusal-") as clone:
        shutil.copytree(DB, os.path.join(clone, "db"), ignore=shutil.ignore_patterns("__pycache__"))
        for path, text, replacement in edits:
            target = os.path.join(clone, "db", path)
            encoding = "latin-1" if path.endswith("ABBREV.txt") else "utf-8"
            with open(target, encoding=encoding, newline="") as f:
                content = f.read()
            if text and content.count(text) != 1:
                return f"{path}: '{text.strip()}' is not there once; update the case"
            if replacement is None:
                os.remove(target)
                continue
            with open(target, "w", encoding=encoding, newline="") as f:
                f.write(content.replace(text, replacement, 1) if text else content + replacement)
        command = [tool] if isinstance(tool, str) else list(tool)
        run = subprocess.run([sys.executable, "-B"] + command, cwd=clone, capture_output=True, text=True,
                             timeout=300)
        said = run.stderr + run.stdout
        if not expected.startswith("ok"):
            return None if run.returncode != 0 and expected in said else \
                f"{slip} not refused with '{expected}': {said.strip()[-300:]}"
        if run.returncode != 0:
            return f"{slip} refused: {said.strip()}"
        seed_file, _, text = expected[3:].partition(":")
        if seed_file:
            with open(os.path.join(clone, "db", "seed", seed_file), encoding="utf-8") as f:
                if text not in f.read():
                    return f"{slip}: {seed_file} lacks {text!r}"
        return None


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
