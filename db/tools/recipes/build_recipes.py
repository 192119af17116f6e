#!/usr/bin/env python3
"""Builds the recipe, theme, activity and consumption-category seed tables.

Sources (all in this folder, written by hand and reviewed):
  recipes.txt     the recipes: names in five languages, time, themes, ingredients as Ciqual
                  codes with grams, and the steps of the French description
  steps_en.txt, steps_de.txt, steps_it.txt, steps_es.txt
                  the same steps in English, German, Italian and Spanish, each recipe named
                  by its French name; every recipe must be there, with as many steps as in
                  French, and no other
  themes.tsv      recipe themes in five languages, each with its consumption category
  catconso.tsv    consumption categories, with the food categories they gather
  activities.tsv  activities in five languages with their Compendium code
  compendium_2011.tsv  the 2011 Compendium's MET value and description of each code used;
                  an activity's ScaleFactor is (MET - 1) x 3.5 / 200, never below 0: the kcal
                  a minute per kg it costs above rest, which the basal needs already hold

Outputs:
  db/tools/recipes/required_ciqual_codes.txt  every Ciqual code the recipes use (read by the
                                              food tool, which must include those foods)
  db/seed/t_categories.tsv, t_catconsommation.tsv, t_alim_recette_catconso.tsv,
  t_activites.tsv, and, once db/tools/foods/food_sources.tsv and db/seed/t_aliments.tsv
  exist, t_recettes.tsv, t_ingredients_recettes.tsv and t_categories_recettes.tsv;
  the row counts of db/README.md, from every seed file.

A recipe's per-gram values are the weighted mean of its ingredients' per-gram values, weighted
by their grams, exactly as the recipe editor computes them when a recipe is saved. So the grams
must be what ends on the plate (the rule is written out at the top of recipes.txt):
  - inedible parts are left out: meat on the bone, whole fish, shellfish in their shell, fruit
    with stones count for their edible part, the ratio written on the ingredient line and the
    weight bought recalled in the first step when the two differ much;
  - drained or discarded liquids (cooking water of pasta and vegetables, poaching syrup, broth
    not served) are not counted, nor the salt that seasons them; only what the food keeps is
    (dry pasta and pulses take up 1.5 times their dry weight of water, which the tool checks);
  - liquids served with the dish (soups, broths, sauces) are counted, half of them only when the
    dish simmers 1 h 30 or more, the rest boiling away;
  - water the foods themselves lose in cooking is not subtracted;
  - an alcoholic drink counts at the share of its alcohol the cooking leaves, by the USDA's
    retention of alcohol by cooking method and time (alcohol_retention.tsv; how each recipe
    cooks its drink in alcohol_cooking.tsv): the drink at grams poured x retained share, the
    rest of the liquid the ingredient line counts as water.
Themes: every savoury recipe without meat, poultry, charcuterie, fish, seafood or meat stock
carries the vegetarian theme and no other recipe does (sweet dishes, meatless by nature, are
not tagged, since the theme lists its recipes among the main dishes of the day).

Standard library only; never touches the network. Re-run after any change to the sources or
to the food table:  python3 db/tools/recipes/build_recipes.py
"""

import csv
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
SEED = os.path.join(REPO, "db", "seed")
FOOD_SOURCES = os.path.join(REPO, "db", "tools", "foods", "food_sources.tsv")
FOOD_TABLE = os.path.join(SEED, "t_aliments.tsv")
CIQUAL = os.path.join(REPO, "db", "sources", "ciqual-2020", "ciqual.tsv")

LANGUAGES = ["fr", "en", "de", "it", "es"]
SUFFIXES = ["Francais", "Anglais", "Allemand", "Italien", "Espagnol"]
RECIPE_NAME_WIDTH = 64
ACTIVITY_NAME_WIDTH = 32
MAX_THEME_ID = 27          # food categories enter the mapping table as their id + 27
MAX_THEMES_PER_RECIPE = 4
VEGETARIAN_THEME = 5
# Starters, main courses, soups, salads, savoury tarts, gratins, side dishes, pasta and grains.
SAVOURY_THEMES = {1, 2, 6, 7, 11, 12, 13, 16}
# Food categories of meat, poultry, charcuterie, fish and seafood, and the meat stocks.
MEAT_AND_FISH_CATEGORIES = {9, 10, 11, 12, 13}
MEAT_STOCKS = {"25930", "25947"}              # beef stock, chicken stock
# Dry starches cooked in liquid, with the grams of liquid a gram of them takes up, and the
# liquids that can give it: the recipe must count at least that much of those liquids.
ABSORBING = {"9810": 1.5, "9100": 1.5, "9119": 1.5, "9610": 1.0, "9681": 1.0, "20585": 1.5,
             "20501": 1.5}
COOKING_LIQUIDS = {"18066", "25930", "25947", "25948", "19024", "19041", "20048"}
FOOD_CATEGORY_IDS = range(1, 25)
ALCOHOLIC_SUBGROUP = "boisson alcoolisées"
WATER = "18066"
TIME_PATTERN = re.compile(r"^([01]\d|2[0-3]):[0-5]\d:[0-5]\d$")


class SeedError(Exception):
    pass


def fail(message):
    raise SeedError(message)


def read_tsv(path):
    """Rows of a tab-separated file with a header line, as dicts; '#' lines are comments."""
    with open(path, encoding="utf-8", newline="") as f:
        lines = [line for line in f if line.strip() and not line.startswith("#")]
    return list(csv.DictReader(lines, delimiter="\t", quoting=csv.QUOTE_NONE))


def escape(value):
    if value is None:
        return ""
    if isinstance(value, float):
        return repr(value)
    text = str(value)
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def write_tsv(path, columns, rows):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\t".join(columns) + "\n")
        for row in rows:
            f.write("\t".join(escape(v) for v in row) + "\n")


def check_names(where, names, width):
    for name in names:
        if not name:
            fail(f"{where}: empty name")
        if len(name) > width:
            fail(f"{where}: '{name}' has {len(name)} characters, more than {width}")


def check_unique(what, rows, columns):
    for col in columns:
        seen = {}
        for key, row in rows:
            name = row[col]
            if name in seen:
                fail(f"{what}: name '{name}' used by {seen[name]} and {key}")
            seen[name] = key


# ---------------------------------------------------------------- recipes source

def content_lines(path):
    """(line number, 'file:line', line) for every line of a recipe source file but the blank
    lines and the '#' comments."""
    file_name = os.path.basename(path)
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.strip() and not line.lstrip().startswith("#"):
                yield number, f"{file_name}:{number}", line


def parse_recipes(path):
    """Reads recipes.txt into a list of dicts (names, time, themes, ingredients, steps)."""
    recipes = []
    current = None
    section = None
    for number, where, line in content_lines(path):
        if line.strip() == "[recette]":
            current = {"names": {}, "ingredients": [], "steps": [], "line": number}
            recipes.append(current)
            section = None
            continue
        if current is None:
            fail(f"{where}: text before the first [recette]")
        if line.startswith("  "):
            item = line.strip()
            if section == "ingredients":
                parts = item.split(None, 2)
                if len(parts) < 2 or not parts[0].isdigit():
                    fail(f"{where}: ingredient line must be 'code grams name'")
                try:
                    grams = float(parts[1])
                except ValueError:
                    fail(f"{where}: quantity '{parts[1]}' is not a number")
                if grams <= 0:
                    fail(f"{where}: quantity must be above 0 g")
                current["ingredients"].append((parts[0], grams))
            elif section == "etapes":
                current["steps"].append(item)
            else:
                fail(f"{where}: indented line outside 'ingredients:' or 'etapes:'")
            continue
        key, _, value = line.partition(":")
        key, value = key.strip(), value.strip()
        if key in LANGUAGES:
            current["names"][key] = value
        elif key == "temps":
            current["time"] = value
        elif key == "themes":
            current["themes"] = [int(v) for v in value.replace(",", " ").split()]
        elif key in ("ingredients", "etapes"):
            section = key
        else:
            fail(f"{where}: unknown key '{key}'")
    return recipes


def parse_translated_steps(path):
    """Reads a steps_xx.txt file into {French recipe name: [steps]}."""
    file_name = os.path.basename(path)
    if not os.path.exists(path):
        fail(f"{file_name} is missing: every recipe needs its steps in that language")
    blocks = []
    current, in_steps = None, False
    for number, where, line in content_lines(path):
        if line.strip() == "[recette]":
            current, in_steps = {"name": None, "steps": [], "line": number}, False
            blocks.append(current)
            continue
        if current is None:
            fail(f"{where}: text before the first [recette]")
        if line.startswith("  "):
            if not in_steps:
                fail(f"{where}: indented line outside 'etapes:'")
            current["steps"].append(line.strip())
            continue
        key, _, value = line.partition(":")
        key, value = key.strip(), value.strip()
        if key == "fr" and current["name"] is None and value:
            current["name"] = value
        elif key == "etapes" and not value:
            in_steps = True
        else:
            fail(f"{where}: expected 'fr: <French name>' once, then 'etapes:'")
    steps = {}
    for block in blocks:
        where = f"{file_name}:{block['line']}"
        if block["name"] is None or not block["steps"]:
            fail(f"{where}: a recipe needs its French name and its steps")
        if block["name"] in steps:
            fail(f"{where}: '{block['name']}' is translated twice")
        steps[block["name"]] = block["steps"]
    return steps


def attach_translations(recipes):
    """Gives every recipe its steps in each language; fails on a missing, extra or
    incomplete translation."""
    by_name = {recipe["names"]["fr"]: recipe for recipe in recipes}
    for recipe in recipes:
        recipe["steps_by_language"] = {"fr": recipe["steps"]}
    for lang in LANGUAGES[1:]:
        file_name = f"steps_{lang}.txt"
        translated = parse_translated_steps(os.path.join(HERE, file_name))
        unknown = sorted(set(translated) - set(by_name))
        if unknown:
            fail(f"{file_name}: no recipe named {unknown} in recipes.txt")
        missing = [name for name in by_name if name not in translated]
        if missing:
            fail(f"{file_name}: no steps for {missing}")
        for name, steps in translated.items():
            french = by_name[name]["steps"]
            if len(steps) != len(french):
                fail(f"{file_name}: '{name}' has {len(steps)} steps, the French {len(french)}")
            if steps == french:
                fail(f"{file_name}: the steps of '{name}' are the French ones")
            by_name[name]["steps_by_language"][lang] = steps


def retained_share(retention, method, minutes, where):
    """Share of the alcohol left by a cooking: the row of its method with the longest time not
    above its minutes (alcohol_retention.tsv)."""
    rows = [r for r in retention if r["method"] == method and int(r["minutes"]) <= minutes]
    if not rows:
        fail(f"{where}: no retention of alcohol for '{method}' cooked {minutes} minutes")
    if method == "brief" and minutes >= 15:
        fail(f"{where}: a brief cooking lasts under 15 minutes; {minutes} is simmered")
    return float(max(rows, key=lambda r: int(r["minutes"]))["retained_pct"]) / 100


def count_cooked_alcohol(recipes, subgroups):
    """Counts each alcoholic drink at the share of its alcohol the cooking leaves; the rest of
    the liquid its ingredient line counts goes to the recipe's water."""
    retention = read_tsv(os.path.join(HERE, "alcohol_retention.tsv"))
    cooking = {(r["recipe"], r["ciqual"]): r for r in read_tsv(os.path.join(HERE, "alcohol_cooking.tsv"))}
    used = set()
    for recipe in recipes:
        name = recipe["names"]["fr"]
        counted = []
        water = 0.0
        for code, grams in recipe["ingredients"]:
            if subgroups.get(code) != ALCOHOLIC_SUBGROUP:
                counted.append([code, grams])
                continue
            where = f"recipe '{name}', Ciqual {code}"
            row = cooking.get((name, code))
            if row is None or not row["why"]:
                fail(f"{where}: an alcoholic drink needs its cooking, and why, in alcohol_cooking.tsv")
            used.add((name, code))
            share = retained_share(retention, row["method"], int(row["minutes"]), where)
            drink = round(float(row["poured_g"]) * share, 1)
            if drink > grams:
                fail(f"{where}: {drink} g of drink left, more than the {grams:g} g the line counts")
            counted.append([code, drink])
            water += grams - drink
        if water > 0:
            for item in counted:
                if item[0] == WATER:
                    item[1] = round(item[1] + water, 1)
                    break
            else:
                counted.append([WATER, round(water, 1)])
        recipe["ingredients"] = [tuple(item) for item in counted]
    unused = sorted(set(cooking) - used)
    if unused:
        fail(f"alcohol_cooking.tsv: rows for no alcoholic drink of a recipe: {unused}")


def description(steps):
    return "\n".join(f"{i}. {step}" for i, step in enumerate(steps, 1))


def validate_recipes(recipes, theme_ids, courses):
    for index, recipe in enumerate(recipes, 1):
        where = f"recipe {index} (recipes.txt:{recipe['line']})"
        missing = [lang for lang in LANGUAGES if lang not in recipe["names"]]
        if missing:
            fail(f"{where}: no name in {', '.join(missing)}")
        check_names(where, recipe["names"].values(), RECIPE_NAME_WIDTH)
        if not TIME_PATTERN.match(recipe.get("time", "")) or recipe["time"] == "00:00:00":
            fail(f"{where}: preparation time must be HH:MM:SS and above zero")
        themes = recipe.get("themes", [])
        if not 1 <= len(themes) <= MAX_THEMES_PER_RECIPE or len(set(themes)) != len(themes):
            fail(f"{where}: one to {MAX_THEMES_PER_RECIPE} different themes needed")
        unknown = [t for t in themes if t not in theme_ids]
        if unknown:
            fail(f"{where}: unknown themes {unknown}")
        if not courses & set(themes):
            fail(f"{where}: no course among its themes; the day's lists would not show it")
        codes = [code for code, _ in recipe["ingredients"]]
        if not codes:
            fail(f"{where}: no ingredient")
        if len(set(codes)) != len(codes):
            fail(f"{where}: an ingredient is listed twice")
        if not recipe["steps"]:
            fail(f"{where}: no steps")
        dry = sum(ABSORBING.get(code, 0) * grams for code, grams in recipe["ingredients"])
        liquid = sum(grams for code, grams in recipe["ingredients"] if code in COOKING_LIQUIDS)
        if liquid < dry:
            fail(f"{where}: the pasta, rice, semolina or dried pulses take up {dry:g} g of "
                 f"liquid in cooking, but the recipe counts only {liquid:g} g")
    check_unique("recipes", [(f"recipe {i}", {lang: r["names"][lang] for lang in LANGUAGES})
                             for i, r in enumerate(recipes, 1)], LANGUAGES)


def ciqual_subgroups():
    """Ciqual code -> subgroup, from the extract (None when it is missing)."""
    if not os.path.exists(CIQUAL):
        return None
    return {row["code"]: row["subgroup_fr"] for row in read_tsv(CIQUAL)}


def food_ids_by_ciqual():
    rows = read_tsv(FOOD_SOURCES)
    return {row["ciqual"]: int(row["IdAliment"]) for row in rows if row.get("ciqual")}


def food_values():
    values, categories = {}, {}
    for row in read_tsv(FOOD_TABLE):
        values[int(row["IdAliment"])] = tuple(
            float(row[col]) for col in
            ("CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"))
        categories[int(row["IdAliment"])] = int(row["IdCatAliment"])
    return values, categories


def check_vegetarian_theme(recipe_id, recipe, codes_and_ids, categories):
    meat = [code for code, food_id in codes_and_ids
            if categories[food_id] in MEAT_AND_FISH_CATEGORIES or code in MEAT_STOCKS]
    tagged = VEGETARIAN_THEME in recipe["themes"]
    if meat and tagged:
        fail(f"recipe {recipe_id} ({recipe['names']['fr']}): vegetarian theme, but Ciqual "
             f"{meat[0]} is meat, fish or a meat stock")
    if not meat and not tagged and SAVOURY_THEMES & set(recipe["themes"]):
        fail(f"recipe {recipe_id} ({recipe['names']['fr']}): a savoury dish without meat or "
             "fish needs the vegetarian theme")


def per_gram(ingredients, values):
    """Weighted mean of the ingredients' per-gram values, weighted by their grams."""
    total = [0.0, 0.0, 0.0, 0.0]
    grams = 0.0
    for food_id, quantity in ingredients:
        for i, v in enumerate(values[food_id]):
            total[i] += v * quantity
        grams += quantity
    if grams == 0.0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple(t / grams for t in total)


def build_recipe_tables(recipes):
    ids = food_ids_by_ciqual()
    values, categories = food_values()
    recipe_rows, ingredient_rows, theme_rows = [], [], []
    for recipe_id, recipe in enumerate(recipes, 1):
        ingredients = []
        for code, grams in recipe["ingredients"]:
            if code not in ids:
                fail(f"recipe {recipe_id}: Ciqual code {code} has no food in food_sources.tsv")
            food_id = ids[code]
            if food_id not in values:
                fail(f"recipe {recipe_id}: food {food_id} missing from t_aliments.tsv")
            ingredients.append((food_id, grams))
        if len({f for f, _ in ingredients}) != len(ingredients):
            fail(f"recipe {recipe_id}: two ingredients map to the same food")
        check_vegetarian_theme(recipe_id, recipe,
                               [(code, ids[code]) for code, _ in recipe["ingredients"]],
                               categories)
        cal, lip, prot, gluc = per_gram(ingredients, values)
        names = [recipe["names"][lang] for lang in LANGUAGES]
        descriptions = [description(recipe["steps_by_language"][lang]) for lang in LANGUAGES]
        recipe_rows.append([recipe_id] + names + descriptions +
                           [recipe["time"], cal, lip, prot, gluc, 1, ""])
        ingredient_rows += [[recipe_id, food_id, grams] for food_id, grams in ingredients]
        theme_rows += [[theme, recipe_id] for theme in recipe["themes"]]
    write_tsv(os.path.join(SEED, "t_recettes.tsv"),
              ["IdRecette"] + ["NomRecette" + s for s in SUFFIXES] +
              ["DescRecette" + s for s in SUFFIXES] +
              ["TempsPreparation", "CaloriesGramme", "LipidesGramme", "ProtidesGramme",
               "GlucidesGramme", "DroitsModifUtilisateur", "Image"], recipe_rows)
    write_tsv(os.path.join(SEED, "t_ingredients_recettes.tsv"),
              ["IdRecette", "IdAliment", "QuantiteGramme"],
              [[r, f, int(g) if g == int(g) else g] for r, f, g in ingredient_rows])
    write_tsv(os.path.join(SEED, "t_categories_recettes.tsv"),
              ["IdCategorie", "IdRecette"], theme_rows)


# ---------------------------------------------------------------- themes and categories

def build_themes_and_categories():
    themes = read_tsv(os.path.join(HERE, "themes.tsv"))
    categories = read_tsv(os.path.join(HERE, "catconso.tsv"))
    theme_ids = set()
    for row in themes:
        theme_id = int(row["IdCategorie"])
        if not 1 <= theme_id <= MAX_THEME_ID:
            fail(f"themes.tsv: theme id {theme_id} outside 1..{MAX_THEME_ID}")
        theme_ids.add(theme_id)
    check_unique("themes", [(row["IdCategorie"], row) for row in themes], SUFFIXES)
    if any(not themes[0][s] for s in SUFFIXES) or int(themes[0]["IdCategorie"]) != 1:
        fail("themes.tsv: theme 1 must come first and be named in all five languages")

    category_id = {row["NomCategorieFrancais"]: int(row["IdCatConsommation"])
                   for row in categories}
    mapping = []
    mapped_food = set()
    for row in categories:
        for food_category in row["CategoriesAliments"].split():
            food_category = int(food_category)
            if food_category not in FOOD_CATEGORY_IDS or food_category in mapped_food:
                fail(f"catconso.tsv: food category {food_category} unknown or mapped twice")
            mapped_food.add(food_category)
            mapping.append([food_category + MAX_THEME_ID, int(row["IdCatConsommation"])])
    unmapped = sorted(set(FOOD_CATEGORY_IDS) - mapped_food)
    if unmapped:
        fail(f"catconso.tsv: food categories without a consumption category: {unmapped}")
    courses = set()
    for row in themes:
        course = row["Consommation"]
        if not course:
            continue            # not a course: its recipes are listed through their course
        if course not in category_id:
            fail(f"themes.tsv: theme {row['IdCategorie']}: unknown consumption category "
                 f"'{course}'")
        if not row["Francais"].startswith(course):
            fail(f"themes.tsv: theme {row['IdCategorie']} ({row['Francais']}) is not the course "
                 f"'{course}'; only courses map to a consumption category")
        courses.add(int(row["IdCategorie"]))
        mapping.append([int(row["IdCategorie"]), category_id[course]])

    write_tsv(os.path.join(SEED, "t_categories.tsv"),
              ["IdCategorie"] + ["NomCategorie" + s for s in SUFFIXES],
              [[int(row["IdCategorie"])] + [row[s] for s in SUFFIXES] for row in themes])
    write_tsv(os.path.join(SEED, "t_catconsommation.tsv"),
              ["IdCatConsommation", "NomCategorieFrancais"],
              [[int(row["IdCatConsommation"]), row["NomCategorieFrancais"]]
               for row in categories])
    write_tsv(os.path.join(SEED, "t_alim_recette_catconso.tsv"),
              ["IdCategorie", "IdMetaCategorie"], mapping)
    return theme_ids, courses


# ---------------------------------------------------------------- activities

def scale_factor(met):
    """kcal a minute per kg of body weight spent above rest: (MET - 1) x 3.5 / 200, never below 0.

    1 MET = 3.5 ml of oxygen per kg per minute, about 5 kcal per litre of oxygen. The needs
    dialog adds the activities to the basal needs, which already hold the resting energy (1 MET),
    so an activity counts only what it costs above rest; sleeping (0.95 MET) adds nothing."""
    return round(max(met - 1.0, 0.0) * 3.5 / 200, 8)


def compendium_mets():
    """Code -> MET of the 2011 Compendium, for the codes the activities use."""
    mets = {}
    for row in read_tsv(os.path.join(HERE, "compendium_2011.tsv")):
        code, met = row["Code"], float(row["MET"])
        if not re.fullmatch(r"\d{5}", code) or code in mets:
            fail(f"compendium_2011.tsv: code '{code}' malformed or listed twice")
        if not 0.9 <= met <= 23:
            fail(f"compendium_2011.tsv: code {code}: MET {met} outside the Compendium's range")
        mets[code] = met
    return mets


def build_activities():
    rows = read_tsv(os.path.join(HERE, "activities.tsv"))
    mets = compendium_mets()
    out = []
    for activity_id, row in enumerate(rows, 1):
        names = [row[s] for s in SUFFIXES]
        check_names(f"activities.tsv: activity {activity_id}", names, ACTIVITY_NAME_WIDTH)
        if row["Compendium"] not in mets:
            fail(f"activities.tsv: activity {activity_id}: code {row['Compendium']} is not in "
                 "compendium_2011.tsv")
        met = mets[row["Compendium"]]
        out.append([activity_id] + names + [scale_factor(met), 0, 1])
    check_unique("activities", [(r[0], dict(zip(SUFFIXES, r[1:6]))) for r in out], SUFFIXES)
    write_tsv(os.path.join(SEED, "t_activites.tsv"),
              ["IdActivite"] + ["NomActivite" + s for s in SUFFIXES] +
              ["ScaleFactor", "Duree", "UtilisePoids"], out)


# ---------------------------------------------------------------- README counts

README = os.path.join(REPO, "db", "README.md")
COUNT_ROW = re.compile(r"^\| `(t_\w+)` \| [^|]* \|")


def seed_row_count(table):
    with open(os.path.join(SEED, table + ".tsv"), encoding="utf-8") as f:
        return sum(1 for line in f if line.strip()) - 1


def update_readme_counts():
    """Rewrites the row counts of the README's table list from the seed files."""
    with open(README, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for i, line in enumerate(lines):
        match = COUNT_ROW.match(line)
        if match and os.path.exists(os.path.join(SEED, match.group(1) + ".tsv")):
            rest = line[match.end():]
            lines[i] = f"| `{match.group(1)}` | {seed_row_count(match.group(1))} |{rest}"
    with open(README, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


# ---------------------------------------------------------------- main

def main():
    os.makedirs(SEED, exist_ok=True)
    theme_ids, courses = build_themes_and_categories()
    build_activities()
    recipes = parse_recipes(os.path.join(HERE, "recipes.txt"))
    known = ciqual_subgroups()
    if known is None:
        fail(f"{CIQUAL} is missing")
    count_cooked_alcohol(recipes, known)
    validate_recipes(recipes, theme_ids, courses)
    attach_translations(recipes)

    codes = sorted({code for r in recipes for code, _ in r["ingredients"]}, key=int)
    if known is not None:
        unknown = [c for c in codes if c not in known]
        if unknown:
            fail(f"recipes.txt: Ciqual codes not in the Ciqual table: {unknown}")
    with open(os.path.join(HERE, "required_ciqual_codes.txt"), "w", encoding="utf-8") as f:
        f.write("".join(code + "\n" for code in codes))

    if os.path.exists(FOOD_SOURCES) and os.path.exists(FOOD_TABLE):
        build_recipe_tables(recipes)
        print(f"{len(recipes)} recipes, {len(codes)} foods used")
    else:
        print("food_sources.tsv or t_aliments.tsv missing: recipe tables not written "
              "(run db/tools/foods first)")
    update_readme_counts()


if __name__ == "__main__":
    try:
        main()
    except SeedError as error:
        print(f"build_recipes: {error}", file=sys.stderr)
        sys.exit(1)
