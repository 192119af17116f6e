#!/usr/bin/env python3
"""Builds the food, category and household-measure seed files.

Reads the hand-written sources of this folder (names.tsv, pieces.tsv, piece_bands.tsv,
alcohol.tsv, fibre.tsv, measures.tsv, densities.tsv, energy_outliers.tsv) together with the
Ciqual 2020 table and the USDA SR28 abbreviated file kept in db/sources/, and writes:
  db/seed/t_cataliments.tsv, db/seed/t_aliments.tsv, db/seed/t_unites_mesures.tsv,
  db/seed/t_densites.tsv, db/seed/t_densites_unites_mesures.tsv,
  db/tools/foods/food_sources.tsv.

Standard library only. Run from anywhere:
  python3 db/tools/foods/build_foods.py [--data db/sources]
Any inconsistency (unknown code, name too long or repeated, missing translation of an everyday
food, energy far from 9/4/4 without an explanation...) stops the tool with a message and writes
nothing.
"""
import argparse
import csv
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
SEED = os.path.join(REPO, "db", "seed")
REQUIRED_CODES = os.path.join(REPO, "db", "tools", "recipes", "required_ciqual_codes.txt")

NAME_WIDTH = 32
LANGS = ["fr", "en", "de", "it", "es"]
FOOD_NAME_COLUMNS = ["NomAlimentFrancais", "NomAlimentAnglais", "NomAlimentAllemand",
                     "NomAlimentItalien", "NomAlimentEspagnol"]

# Energy check shared with tests/seed/test_foods_seed.cpp: a food whose energy differs from
# 9 kcal/g of lipids + 4 kcal/g of proteins and carbohydrates by more than this (per 100 g)
# must be listed, with its reason, in energy_outliers.tsv.
ENERGY_TOLERANCE_KCAL = 8.0
ENERGY_TOLERANCE_RATIO = 0.08

ALCOHOLIC_SUBGROUP = "boisson alcoolisées"
# Energy where Ciqual gives none, as EU regulation 1169/2011 (annex XIV) computes it: kcal per
# gram of each component. Carbohydrates are Ciqual's available ones, without the fibre and
# polyols; a component the sources do not give for a food counts 0.
REGULATION_KCAL_PER_G = {"fat": 9.0, "protein": 4.0, "carbs": 4.0, "fibre": 2.0,
                         "organic_acids": 3.0, "polyols": 2.4, "alcohol": 7.0}
COMPUTED = "computed 1169/2011"
# Fruits, nuts, vegetables, pulses, potatoes, cereals, breads and breakfast cereals: each food of
# these categories whose energy is computed counts its fibre, or fibre.tsv says why it has none.
PLANT_CATEGORIES = {1, 2, 3, 4, 5, 6, 7, 8}

# Household weights of USDA SR28 that describe a volume, in millilitres.
CUP_ML = 236.6
VOLUME_ML = {"cup": CUP_ML, "tbsp": CUP_ML / 16, "tablespoon": CUP_ML / 16, "tsp": CUP_ML / 48,
             "teaspoon": CUP_ML / 48, "fl oz": CUP_ML / 8}

CATEGORIES = [
    (1, "Fruits"), (2, "Fruits secs et oléagineux"), (3, "Légumes"), (4, "Légumineuses"),
    (5, "Pommes de terre et tubercules"), (6, "Céréales, pâtes et riz"),
    (7, "Pains et biscottes"), (8, "Céréales du petit-déjeuner"), (9, "Viandes"),
    (10, "Volailles"), (11, "Charcuteries"), (12, "Poissons"), (13, "Fruits de mer"),
    (14, "Œufs"), (15, "Lait et produits laitiers"), (16, "Fromages"),
    (17, "Matières grasses"), (18, "Sucres et confiseries"),
    (19, "Chocolat et produits cacaotés"), (20, "Pâtisseries et biscuits"), (21, "Boissons"),
    (22, "Plats préparés"), (23, "Sauces, condiments et épices"), (24, "Soupes et potages"),
]


class DataError(Exception):
    pass


def fail(msg):
    raise DataError(msg)


def read_tsv(path):
    """Rows of a tab-separated file with a header line, as dicts; '#' lines are comments."""
    with open(path, encoding="utf-8", newline="") as f:
        lines = [l for l in f if l.strip() and not l.startswith("#")]
    reader = csv.DictReader(lines, delimiter="\t", quoting=csv.QUOTE_NONE)
    rows = []
    for n, row in enumerate(reader, start=2):
        if None in row or any(v is None for v in row.values()):
            fail(f"{os.path.basename(path)}: row {n} has a wrong number of fields: {row}")
        rows.append({k: v.strip() for k, v in row.items()})
    return rows


def escape(value):
    return str(value).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def write_tsv(path, columns, rows):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\t".join(columns) + "\n")
        for row in rows:
            f.write("\t".join(escape(v) for v in row) + "\n")


def number(value):
    """A per-gram or per-millilitre number written compactly (no float noise)."""
    text = f"{value:.8f}".rstrip("0").rstrip(".")
    return text if text not in ("", "-0") else "0"


def read_ciqual(data_dir):
    path = os.path.join(data_dir, "ciqual-2020", "ciqual.tsv")
    foods = {}
    for row in read_tsv(path):
        foods[row["code"]] = row
    return foods


def read_usda(data_dir):
    path = os.path.join(data_dir, "usda-sr28", "ABBREV.txt")
    foods = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            fields = [x.strip("~") for x in line.rstrip("\r\n").split("^")]
            foods[fields[0]] = {
                "desc": fields[1],
                "water": fields[2],
                "kcal": fields[3],
                "ash": fields[6],
                "fibre": fields[8],
                "weights": [(fields[-5], fields[-4]), (fields[-3], fields[-2])],
            }
    return foods


def usda_weight(usda, ndb, index, where):
    if ndb not in usda:
        fail(f"{where}: unknown USDA NDB number {ndb}")
    if index not in ("1", "2"):
        fail(f"{where}: household weight index must be 1 or 2, not '{index}'")
    grams, desc = usda[ndb]["weights"][int(index) - 1]
    if not grams or float(grams) <= 0:
        fail(f"{where}: USDA {ndb} has no household weight {index}")
    return float(grams), desc


def volume_ml(desc, where):
    """Millilitres of a USDA household measure such as '1 cup, chopped' or '.5 cup'."""
    m = re.match(r"\s*([0-9]*\.?[0-9]+)\s*(cup|tbsp|tsp|fl oz|tablespoon|teaspoon)\b", desc)
    if not m:
        fail(f"{where}: USDA household weight '{desc}' is not a volume")
    return float(m.group(1)) * VOLUME_ML[m.group(2)]


def piece_weight(grams, desc, where):
    """Grams of one piece from a USDA household weight such as '1 large' or '2 medium'."""
    m = re.match(r"\s*([0-9]*\.?[0-9]+)\s*(.*)", desc)
    if not m or re.match(r"(cup|tbsp|tsp|fl oz|tablespoon|teaspoon|oz|g|grams)\b", m.group(2)):
        fail(f"{where}: USDA household weight '{desc}' is not a piece")
    return round(grams / float(m.group(1)), 1)


def char_len(text):
    return len(text)


def check_names(kind, rows, columns):
    """Widths and uniqueness of the name columns of one table."""
    for col in columns:
        seen = {}
        for key, row in rows:
            name = row.get(col, "")
            if not name:
                continue
            if char_len(name) > NAME_WIDTH:
                fail(f"{kind} {key}: {col} '{name}' has {char_len(name)} characters "
                     f"(at most {NAME_WIDTH})")
            if name != name.strip() or "  " in name:
                fail(f"{kind} {key}: {col} '{name}' has stray blanks")
            folded = name.casefold()
            if folded in seen:
                fail(f"{kind} {key}: {col} '{name}' repeats {kind} {seen[folded]}")
            seen[folded] = key


def fit_within_100g(fat, protein, carbs, where):
    """Lipids + proteins + carbohydrates of 100 g cannot exceed 100 g. Ciqual writes a trace
    below the detection limit ("< 0.5") as half the limit, which pushes a few oils just over;
    the excess, when it is below that half-limit, is taken off the smallest (trace) value."""
    excess = round(fat + protein + carbs - 100.0, 6)
    if excess <= 0:
        return fat, protein, carbs
    values = [fat, protein, carbs]
    smallest = min((v, i) for i, v in enumerate(values) if v > 0)[1]
    if excess > 0.5 or values[smallest] < excess:
        fail(f"{where}: lipids + proteins + carbohydrates exceed 100 g by {excess} g")
    values[smallest] = round(values[smallest] - excess, 6)
    return tuple(values)


def ciqual_grams(src, column):
    """Grams per 100 g of an optional Ciqual column (fibre_g, organic_acids_g, polyols_g,
    alcohol_g), or None when the extract has no such column or no value for the food."""
    value = src.get(column) or ""
    return float(value) if value else None


# The twin's water counts at this share in a food's parts: two samples of one food differ in
# water by up to 5 %, and the twin's water is the only water the sources give.
TWIN_WATER_SHARE = 0.95


def twin_numbers(fibre_row):
    """The USDA numbers of a fibre.tsv row: one twin, or several joined by '+' whose mean
    stands for a mix (red berries from their berries)."""
    return [n for n in fibre_row["ndb"].split("+") if n]


def fibre_grams(src, usda, fibre_row, where):
    """Grams of fibre per 100 g counted in the energy, and whether a twin's fibre was taken
    down. Ciqual's own column first; else the mean fibre of the USDA twins of fibre.tsv, never
    more than the room that Ciqual's lipids, proteins and carbohydrates leave beside the twins'
    ash and water (counted at TWIN_WATER_SHARE); else the value fibre.tsv gives by hand."""
    own = ciqual_grams(src, "fibre_g")
    if own is not None:
        return own, False
    if not fibre_row:
        return None, False
    twins = twin_numbers(fibre_row)
    if not twins:
        return float(fibre_row["fibre_g"]), False
    mean = {}
    for part in ("fibre", "water", "ash"):
        values = []
        for ndb in twins:
            text = usda[ndb][part]
            if not text:
                fail(f"{where}: USDA {ndb} gives no {part}")
            values.append(float(text))
        mean[part] = sum(values) / len(values)
    macros = float(src["fat_g"]) + float(src["protein_g"]) + float(src["carbohydrate_g"])
    room = 100.0 - macros - mean["ash"] - TWIN_WATER_SHARE * mean["water"]
    room = max(0.0, int(room * 10 + 1e-9) / 10)    # tenths of a gram, rounded down
    if mean["fibre"] > room:
        return room, True
    return round(mean["fibre"], 6), False


def regulation_energy(src, usda, fibre_row, alcohol_row, where):
    """kcal per 100 g as regulation 1169/2011 computes it, from the Ciqual row and, where Ciqual
    gives no value, the fibre of fibre.tsv and the alcohol of alcohol.tsv."""
    grams = {"fat": float(src["fat_g"]), "protein": float(src["protein_g"]),
             "carbs": float(src["carbohydrate_g"])}
    for part in ("organic_acids", "polyols", "alcohol"):
        grams[part] = ciqual_grams(src, part + "_g")
    grams["fibre"], taken_down = fibre_grams(src, usda, fibre_row, where)
    if taken_down and not fibre_row["reason"]:
        fail(f"{where}: the fibre of USDA {fibre_row['ndb']} does not fit Ciqual's composition "
             f"and was taken down to {grams['fibre']} g; say so in fibre.tsv's reason column")
    if grams["alcohol"] is None and alcohol_row:
        grams["alcohol"] = float(alcohol_row["alcohol_g"])
    return (round(sum(REGULATION_KCAL_PER_G[k] * (g or 0.0) for k, g in grams.items()), 1),
            grams["fibre"] or 0.0)


def energy_deviates(kcal, fat, protein, carbs):
    expected = 9 * fat + 4 * protein + 4 * carbs
    return abs(kcal - expected) > max(ENERGY_TOLERANCE_KCAL, ENERGY_TOLERANCE_RATIO * expected)


def read_pieces(names):
    """IdAliment -> grams of one piece set by hand (pieces.tsv), each with its reason."""
    known = {r["id"] for r in names}
    usda_weighted = {r["id"] for r in names if r["weight"]}
    pieces = {}
    for r in read_tsv(os.path.join(HERE, "pieces.tsv")):
        where = f"pieces.tsv food {r['id']}"
        if r["id"] not in known or r["id"] in pieces:
            fail(f"{where}: unknown food or listed twice")
        if r["id"] in usda_weighted:
            fail(f"{where}: names.tsv also gives it a USDA household weight; keep one")
        if not r["reason"]:
            fail(f"{where}: no reason")
        try:
            pieces[r["id"]] = float(r["grams"])
        except ValueError:
            fail(f"{where}: grams '{r['grams']}' is not a number")
    return pieces


def read_piece_bands():
    """IdCatAliment -> (lightest, heaviest) plausible piece, in grams (piece_bands.tsv)."""
    bands = {}
    for r in read_tsv(os.path.join(HERE, "piece_bands.tsv")):
        bands[int(r["IdCatAliment"])] = (float(r["min_g"]), float(r["max_g"]))
    return bands


def check_piece_weight(weight, category, bands, where):
    if weight == 0:
        return
    if category not in bands:
        fail(f"{where}: a piece weight in category {category}, which has no band in "
             "piece_bands.tsv")
    low, high = bands[category]
    if not low <= weight <= high:
        fail(f"{where}: a piece of {weight} g is outside {low}..{high} g, the band of its "
             "category (piece_bands.tsv)")


def build_foods(ciqual, usda, required):
    names = read_tsv(os.path.join(HERE, "names.tsv"))
    pieces = read_pieces(names)
    bands = read_piece_bands()
    alcohol = {r["ciqual"]: r for r in read_tsv(os.path.join(HERE, "alcohol.tsv"))}
    fibre = {r["ciqual"]: r for r in read_tsv(os.path.join(HERE, "fibre.tsv"))}
    for code, row in fibre.items():
        twins = twin_numbers(row)
        for ndb in twins:
            if ndb not in usda:
                fail(f"fibre.tsv: code {code}: unknown USDA NDB number {ndb}")
        if bool(twins) == bool(row["fibre_g"]):
            fail(f"fibre.tsv: code {code}: give a USDA twin or a value by hand, not both")
        if (len(twins) > 1 or row["fibre_g"]) and not row["reason"]:
            fail(f"fibre.tsv: code {code}: a mean of twins or a value by hand needs its reason")
        if row["fibre_g"] and not 0 <= float(row["fibre_g"]) <= 50:
            fail(f"fibre.tsv: code {code}: fibre {row['fibre_g']} g is implausible")
    outliers = {r["ciqual"]: r for r in read_tsv(os.path.join(HERE, "energy_outliers.tsv"))}
    valid_categories = {c for c, _ in CATEGORIES}
    foods, by_code = [], {}
    ids = set()
    unexplained = []
    for r in names:
        where = f"names.tsv food {r['id']} (ciqual {r['ciqual']})"
        if not r["id"].isdigit() or int(r["id"]) < 1 or int(r["id"]) > 32767:
            fail(f"{where}: bad id '{r['id']}'")
        food_id = int(r["id"])
        if food_id in ids:
            fail(f"{where}: id {food_id} used twice")
        ids.add(food_id)
        code = r["ciqual"]
        if code not in ciqual:
            fail(f"{where}: unknown Ciqual code")
        if code in by_code:
            fail(f"{where}: Ciqual code already used by food {by_code[code]['id']}")
        src = ciqual[code]
        if not r["cat"].isdigit() or int(r["cat"]) not in valid_categories:
            fail(f"{where}: bad category '{r['cat']}'")
        if r["usuel"] not in ("0", "1"):
            fail(f"{where}: usuel must be 0 or 1")
        fr = r["fr"] or src["name_fr"]
        en = r["en"] or src["name_en"]
        if not fr or not en:
            fail(f"{where}: French and English names are required")
        langs = {"fr": fr, "en": en, "de": r["de"], "it": r["it"], "es": r["es"]}
        if not all(langs.values()):
            fail(f"{where}: every food needs its five names (the food lists show the name of "
                 "the interface language)")
        try:
            fat, protein, carbs = (float(src[k]) for k in ("fat_g", "protein_g", "carbohydrate_g"))
        except ValueError:
            fail(f"{where}: Ciqual has no lipids, proteins or carbohydrates for this food")
        ndb = r["ndb"]
        if ndb and ndb not in usda:
            fail(f"{where}: unknown USDA NDB number {ndb}")
        if r["energy"] == "usda":
            if not ndb:
                fail(f"{where}: energy from USDA needs an NDB number")
            kcal, energy_source = float(usda[ndb]["kcal"]), "usda"
        elif r["energy"] == "alcohol":
            if code not in alcohol or src["kcal_per_100g"]:
                fail(f"{where}: energy from alcohol needs a row in alcohol.tsv and no Ciqual "
                     "energy")
            kcal, fibre_counted = regulation_energy(src, usda, fibre.get(code), alcohol[code],
                                                    where)
            energy_source = COMPUTED
        elif r["energy"]:
            fail(f"{where}: energy column must be empty, 'usda' or 'alcohol'")
        elif src["kcal_per_100g"]:
            kcal, energy_source = float(src["kcal_per_100g"]), "ciqual"
        elif src["subgroup_fr"] == ALCOHOLIC_SUBGROUP:
            # 9/4/4 would leave out the alcohol (7 kcal/g), the main source of energy here.
            fail(f"{where}: an alcoholic drink without a Ciqual energy needs its USDA twin")
        else:
            kcal, fibre_counted = regulation_energy(src, usda, fibre.get(code), None, where)
            energy_source = COMPUTED
            if (int(r["cat"]) in PLANT_CATEGORIES and fibre_counted == 0
                    and not (code in fibre and fibre[code]["reason"])):
                fail(f"{where}: a plant food whose energy counts no fibre; give its fibre (or 0 "
                     "and why) in fibre.tsv")
        fat, protein, carbs = fit_within_100g(fat, protein, carbs, where)
        # A computed energy follows the regulation by construction; Ciqual's and USDA's own
        # values are compared with 9/4/4 to catch a slip of the table.
        if (energy_source != COMPUTED and energy_deviates(kcal, fat, protein, carbs)
                and code not in outliers):
            unexplained.append(f"{code}\t{fr}\t{kcal} kcal, 9/4/4 gives "
                               f"{9 * fat + 4 * protein + 4 * carbs:.1f}")
        weight = pieces.get(r["id"], 0.0)
        if r["weight"]:
            if not ndb:
                fail(f"{where}: a household weight needs an NDB number")
            weight = piece_weight(*usda_weight(usda, ndb, r["weight"], where), where)
        check_piece_weight(weight, int(r["cat"]), bands, where)
        row = {"id": food_id, "code": code, "cat": int(r["cat"]), "usuel": int(r["usuel"]),
               **langs, "kcal": kcal, "fat": fat, "protein": protein, "carbs": carbs,
               "weight": weight, "ndb": ndb, "energy_source": energy_source}
        foods.append(row)
        by_code[code] = row
    if unexplained:
        fail("energy far from 9/4/4; explain these foods in energy_outliers.tsv:\n"
             + "\n".join(unexplained))
    for code in alcohol:
        if code not in by_code or by_code[code]["energy_source"] != COMPUTED:
            fail(f"alcohol.tsv: code {code} is not a shipped food whose energy column reads "
                 "'alcohol'")
    for code in fibre:
        if code not in by_code or by_code[code]["energy_source"] != COMPUTED:
            fail(f"fibre.tsv: code {code} is not a shipped food whose energy Ciqual leaves out")
    for code in outliers:
        if code not in by_code:
            fail(f"energy_outliers.tsv: code {code} is not a shipped food")
        if not outliers[code]["reason"]:
            fail(f"energy_outliers.tsv: code {code} has no reason")
    missing = [c for c in required if c not in by_code]
    unknown = [c for c in missing if c not in ciqual]
    if unknown:
        fail("required_ciqual_codes.txt: unknown Ciqual codes: " + ", ".join(unknown))
    if missing:
        fail("required_ciqual_codes.txt: codes without a row in names.tsv: " + ", ".join(missing))
    foods.sort(key=lambda f: f["id"])
    first = foods[0]
    if first["id"] != 1 or first["usuel"] != 1:
        fail("names.tsv: food 1 must be an everyday food named in all five languages")
    check_names("food", [(f["id"], f) for f in foods], LANGS)
    return foods, by_code


def write_foods(foods):
    write_tsv(os.path.join(SEED, "t_cataliments.tsv"), ["IdCatAliment", "NomCategorieFrancais"],
              CATEGORIES)
    write_tsv(os.path.join(SEED, "t_aliments.tsv"),
              ["IdAliment"] + FOOD_NAME_COLUMNS +
              ["CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme",
               "PoidsMoyen", "Usuel", "DroitsModifUtilisateur", "IdCatAliment"],
              [[f["id"]] + [f[l] for l in LANGS] +
               [number(f["kcal"] / 100), number(f["fat"] / 100), number(f["protein"] / 100),
                number(f["carbs"] / 100), number(f["weight"]), f["usuel"], 0, f["cat"]]
               for f in foods])
    write_tsv(os.path.join(HERE, "food_sources.tsv"),
              ["IdAliment", "ciqual", "ndb", "energy_source"],
              [[f["id"], f["code"], f["ndb"], f["energy_source"]] for f in foods])


def build_measures(by_code, usda):
    measures = read_tsv(os.path.join(HERE, "measures.tsv"))
    unit_rows, groups_of = [], {}
    for m in measures:
        where = f"measures.tsv unit {m['IdUnite']}"
        if float(m["ValeurUnite"]) <= 0:
            fail(f"{where}: ValeurUnite must be above 0")
        unit_rows.append((int(m["IdUnite"]), {"NomUnite": m["NomUnite"]}))
        groups_of[int(m["IdUnite"])] = set(m["groups"].split(","))
    check_names("measure", unit_rows, ["NomUnite"])
    densities = read_tsv(os.path.join(HERE, "densities.tsv"))
    dens_rows, links, named = [], [], []
    for d in densities:
        where = f"densities.tsv food {d['IdAlimentDensite']}"
        food = by_code.get(d["ciqual"])
        if food is None:
            fail(f"{where}: Ciqual code {d['ciqual']} is not a shipped food")
        if not all(food[l] for l in LANGS):
            fail(f"{where}: the food needs its five names")
        grams, desc = usda_weight(usda, d["ndb"], d["weight"], where)
        density = grams / volume_ml(desc, where)
        if not 0.05 <= density <= 2.5:
            fail(f"{where}: implausible density {density:.3f} g/ml")
        dens_id = int(d["IdAlimentDensite"])
        units = [u for u, g in groups_of.items() if d["group"] in g]
        if not units:
            fail(f"{where}: no measure in group '{d['group']}'")
        dens_rows.append([dens_id] + [food[l] for l in LANGS] + [number(round(density, 4))])
        named.append((dens_id, {l: food[l] for l in LANGS}))
        links.extend([dens_id, u] for u in sorted(units))
    check_names("density food", named, LANGS)
    write_tsv(os.path.join(SEED, "t_unites_mesures.tsv"), ["IdUnite", "NomUnite", "ValeurUnite"],
              [[m["IdUnite"], m["NomUnite"], m["ValeurUnite"]] for m in measures])
    write_tsv(os.path.join(SEED, "t_densites.tsv"),
              ["IdAlimentDensite"] + FOOD_NAME_COLUMNS + ["Densite"], sorted(dens_rows))
    write_tsv(os.path.join(SEED, "t_densites_unites_mesures.tsv"),
              ["IdAlimentDensite", "IdUnite"], sorted(links))
    return len(measures), len(dens_rows)


def read_required():
    if not os.path.exists(REQUIRED_CODES):
        return []
    with open(REQUIRED_CODES, encoding="utf-8") as f:
        return [l.strip() for l in f if l.strip() and not l.startswith("#")]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=os.path.join(REPO, "db", "sources"),
                        help="folder holding ciqual-2020/ and usda-sr28/ (default: db/sources)")
    args = parser.parse_args()
    try:
        ciqual = read_ciqual(args.data)
        usda = read_usda(args.data)
        foods, by_code = build_foods(ciqual, usda, read_required())
        os.makedirs(SEED, exist_ok=True)
        n_units, n_dens = build_measures(by_code, usda)
        write_foods(foods)
    except DataError as e:
        print(f"build_foods: {e}", file=sys.stderr)
        return 1
    usual = sum(f["usuel"] for f in foods)
    sources = {}
    for f in foods:
        sources[f["energy_source"]] = sources.get(f["energy_source"], 0) + 1
    print(f"{len(foods)} foods ({usual} everyday), {n_units} measures, {n_dens} density foods; "
          f"energy: " + ", ".join(f"{k} {v}" for k, v in sorted(sources.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
