-- Vivanda database: eighteen tables. Column order is binding: several statements copy rows
-- with SELECT * or insert without a column list.
-- Types: INTEGER for short and logical (0/1), REAL for float, TEXT for text and memo,
-- dates as 'YYYY-MM-DD', times as 'HH:MM:SS'.

CREATE TABLE t_cataliments (
  IdCatAliment INTEGER PRIMARY KEY,
  NomCategorieFrancais TEXT
);

CREATE TABLE t_aliments (
  IdAliment INTEGER PRIMARY KEY,
  NomAlimentFrancais TEXT,
  NomAlimentAnglais TEXT,
  NomAlimentAllemand TEXT,
  NomAlimentItalien TEXT,
  NomAlimentEspagnol TEXT,
  CaloriesGramme REAL,
  LipidesGramme REAL,
  ProtidesGramme REAL,
  GlucidesGramme REAL,
  PoidsMoyen REAL,
  Usuel INTEGER,
  DroitsModifUtilisateur INTEGER DEFAULT 1,
  IdCatAliment INTEGER
);
-- The consumption's food list reads the foods of a few categories.
CREATE INDEX aliments_categorie ON t_aliments(IdCatAliment);
-- The rows with an empty name (none, as a rule): the start-up's check for names to fill in
-- (FillEmptyNameColumns, whose condition this is, word for word) reads this index, not the table.
CREATE INDEX aliments_nom_vide ON t_aliments(IdAliment) WHERE
  TRIM(COALESCE(NomAlimentFrancais, '')) = '' OR
  TRIM(COALESCE(NomAlimentAnglais, '')) = '' OR
  TRIM(COALESCE(NomAlimentAllemand, '')) = '' OR
  TRIM(COALESCE(NomAlimentItalien, '')) = '' OR
  TRIM(COALESCE(NomAlimentEspagnol, '')) = '';

CREATE TABLE t_recettes (
  IdRecette INTEGER PRIMARY KEY,
  NomRecetteFrancais TEXT,
  NomRecetteAnglais TEXT,
  NomRecetteAllemand TEXT,
  NomRecetteItalien TEXT,
  NomRecetteEspagnol TEXT,
  DescRecetteFrancais TEXT,
  DescRecetteAnglais TEXT,
  DescRecetteAllemand TEXT,
  DescRecetteItalien TEXT,
  DescRecetteEspagnol TEXT,
  TempsPreparation TEXT,
  CaloriesGramme REAL,
  LipidesGramme REAL,
  ProtidesGramme REAL,
  GlucidesGramme REAL,
  DroitsModifUtilisateur INTEGER DEFAULT 1,
  Image TEXT
);
-- The recipes' names without their long descriptions: the check for a name already taken reads
-- them alone.
CREATE INDEX recettes_noms ON t_recettes(NomRecetteFrancais, NomRecetteAnglais, NomRecetteAllemand,
                                         NomRecetteItalien, NomRecetteEspagnol);
CREATE INDEX recettes_nom_vide ON t_recettes(IdRecette) WHERE
  TRIM(COALESCE(NomRecetteFrancais, '')) = '' OR
  TRIM(COALESCE(NomRecetteAnglais, '')) = '' OR
  TRIM(COALESCE(NomRecetteAllemand, '')) = '' OR
  TRIM(COALESCE(NomRecetteItalien, '')) = '' OR
  TRIM(COALESCE(NomRecetteEspagnol, '')) = '';

CREATE TABLE t_ingredients_recettes (
  IdRecette INTEGER,
  IdAliment INTEGER REFERENCES t_aliments(IdAliment),
  QuantiteGramme REAL
);
CREATE INDEX IdRecette ON t_ingredients_recettes(IdRecette, IdAliment);
-- The links between recipes, foods and themes are read from their indexes alone (the recipe
-- search, the food list, the check that keeps a used food).
CREATE INDEX ingredients_aliment ON t_ingredients_recettes(IdAliment, IdRecette);

CREATE TABLE t_categories_recettes (
  IdCategorie INTEGER,
  IdRecette INTEGER
);
CREATE INDEX IdRecette_categories ON t_categories_recettes(IdRecette, IdCategorie);
CREATE INDEX categories_recettes_theme ON t_categories_recettes(IdCategorie, IdRecette);

CREATE TABLE t_categories (
  IdCategorie INTEGER PRIMARY KEY,
  NomCategorieFrancais TEXT,
  NomCategorieAnglais TEXT,
  NomCategorieAllemand TEXT,
  NomCategorieItalien TEXT,
  NomCategorieEspagnol TEXT
);

CREATE TABLE t_utilisateurs (
  Nom TEXT PRIMARY KEY,
  Age INTEGER,
  Taille INTEGER,
  Poids INTEGER,
  Sexe TEXT
);

CREATE TABLE t_activites (
  IdActivite INTEGER PRIMARY KEY,
  NomActiviteFrancais TEXT,
  NomActiviteAnglais TEXT,
  NomActiviteAllemand TEXT,
  NomActiviteItalien TEXT,
  NomActiviteEspagnol TEXT,
  ScaleFactor REAL,
  Duree INTEGER,
  UtilisePoids INTEGER
);

CREATE TABLE t_catconsommation (
  IdCatConsommation INTEGER PRIMARY KEY,
  NomCategorieFrancais TEXT
);

CREATE TABLE t_alim_recette_catconso (
  IdCategorie INTEGER,
  IdMetaCategorie INTEGER
);

CREATE TABLE t_unites_mesures (
  IdUnite INTEGER PRIMARY KEY,
  NomUnite TEXT,
  ValeurUnite REAL
);

CREATE TABLE t_densites (
  IdAlimentDensite INTEGER PRIMARY KEY,
  NomAlimentFrancais TEXT,
  NomAlimentAnglais TEXT,
  NomAlimentAllemand TEXT,
  NomAlimentItalien TEXT,
  NomAlimentEspagnol TEXT,
  Densite REAL
);

CREATE TABLE t_densites_unites_mesures (
  IdAlimentDensite INTEGER,
  IdUnite INTEGER
);

CREATE TABLE t_consommation (
  NomAliment TEXT,
  CaloriesGramme REAL,
  LipidesGramme REAL,
  ProtidesGramme REAL,
  GlucidesGramme REAL,
  QuantiteGramme REAL,
  Numero INTEGER
);

CREATE TABLE t_histo_consommation (
  NomUtilisateur TEXT,
  DateConso TEXT,
  NomAliment TEXT,
  CaloriesGramme REAL,
  LipidesGramme REAL,
  ProtidesGramme REAL,
  GlucidesGramme REAL,
  QuantiteGramme REAL,
  Numero INTEGER
);
CREATE INDEX histo_consommation_jour ON t_histo_consommation(NomUtilisateur, DateConso);
-- The saved days of the whole history, in date order.
CREATE INDEX histo_consommation_date ON t_histo_consommation(DateConso);

CREATE TABLE t_histo_infos_utilisateur (
  NomUtilisateur TEXT,
  DateConso TEXT,
  Poids REAL,
  ObjectifCalorique REAL
);
CREATE INDEX histo_infos_jour ON t_histo_infos_utilisateur(NomUtilisateur, DateConso);

CREATE TABLE t_categories_recettes_temp (
  IdCategorie INTEGER,
  IdRecette INTEGER
);

CREATE TABLE t_ingredients_recettes_temp (
  IdRecette INTEGER,
  IdAliment INTEGER,
  QuantiteGramme REAL
);
