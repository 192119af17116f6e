#pragma once
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <vector>
// Test support for the recipe search and sheet: five recipes added to the fixture's two, with
// accents, quotes, several themes, foods that are not everyday ones and known values per gram.
//
//   id  name                          time      themes        everyday  kcal/lip/prot/gluc per 100 g
//    1  Salade de fruits (fixture)    00:15:00  Desserts      yes        61.5 / 0.2 / 0.7 / 15.9
//    2  Purée de pommes de terre (f.) 00:40:00  Plats         yes        68.1 / 0.5 / 2.4 / 13.5
//    3  Crème brûlée                  01:30:00  Desserts      no        190 / 15 / 5 / 10
//    4  Omelette nature               00:10:00  Plats         yes       140 / 10 / 12 / 1.5
//    5  Tarte aux pommes              01:00:00  Desserts      yes        90 / 12.5 / 3 / 20
//    6  Bœuf "Stroganoff" d'hiver     02:00:00  Plats, Entr.  no        200 / 12 / 15 / 10
//    7  Riz au poulet                 00:45:00  Plats         yes       120 / 2 / 14 / 12

// Adds recipes 3 to 7 with their ingredients and themes to the open fixture database.
void AddSearchRecipes();

// The rows a statement returns, for comparing whole tables.
using Rows = std::vector<std::vector<QVariant>>;
Rows RowsOf(const QString& sql, std::initializer_list<QVariant> values = {});
// A recipe's ingredients as (IdAliment, QuantiteGramme), in food order.
Rows IngredientsOf(int recipe);
