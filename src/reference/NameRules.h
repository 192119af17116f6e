#pragma once
// The rules every editor applies to a typed name (food, recipe, user) before it is stored.
//
//   const EditorName typed = CheckEditorName(DBEdtNom->text());
//   if (!typed.refusal.isEmpty()) { ShowSaveError(typed.refusal + RefusalTail(mode)); ... }
//   store(typed.name);
#include <QString>

struct EditorName {
    QString name;      // the typed name without its surrounding blanks
    QString refusal;   // "" when the name may be stored, else the French reason
};

// Trims the surrounding blanks and refuses a control character anywhere in the name (a tab, a
// line feed, a NUL...): such a name could not be shown, searched or printed as typed.
EditorName CheckEditorName(const QString& typed);

// Whether two names are the same name for an editor: letter case, accents and surrounding
// blanks aside.
bool SameEditorName(const QString& a, const QString& b);
