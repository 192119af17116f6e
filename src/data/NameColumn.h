#pragma once
// Which of the five parallel name columns (French, English, German, Italian, Spanish) a window
// shows, judged on one sample row of the table.
#include <QString>
#include <QStringList>

// `names` holds the sample row's five names in the order French, English, German, Italian,
// Spanish. The column of `languageCode` (0, 200, 400, 600, 800) is taken when it has a name;
// when it is empty, the first non-empty column. Returns the column's position 0..4, or -1 when
// none qualifies (an unknown language code, or a row without any name): the caller then keeps
// its previous choice.
int ChooseNameColumn(const QStringList& names, int languageCode);

// The five column names of a name family: NameColumnNames("NomAliment") gives
// NomAlimentFrancais, NomAlimentAnglais, NomAlimentAllemand, NomAlimentItalien, NomAlimentEspagnol.
QStringList NameColumnNames(const QString& prefix);

// The condition "a name of the family `prefix` is empty" (or only blanks), word for word the
// one of the partial indexes aliments_nom_vide and recettes_nom_vide (db/schema.sql): a statement
// that holds it as one of its AND-ed terms reads the few rows the index lists, not the table.
QString AnyEmptyNameCondition(const QString& prefix);
// The condition "every name of the family `prefix` is empty" (or only blanks).
QString EveryNameEmptyCondition(const QString& prefix);

// Gives every row of `table` a name in each of the five columns of the family `prefix`: an
// empty column takes the first name of the row in the order French, English, German, Italian,
// Spanish, so that no list shows a blank line whatever the language. One transaction.
//   FillEmptyNameColumns("t_aliments", "NomAliment");
void FillEmptyNameColumns(const QString& table, const QString& prefix);
