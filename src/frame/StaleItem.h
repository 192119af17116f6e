#pragma once
// A list item picked after another window or another program removed (or renamed) what it names.
#include <QString>

// Says `gone` ("Cette recette n'existe plus dans la base de données.") under `caption`, adding
// that nothing was done and that the list now shows what is stored.
void SayItemGone(const QString& gone, const QString& caption);
