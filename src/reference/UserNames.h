#pragma once
// Users' names: one user per name, letter case, accents and surrounding blanks aside; the saved
// days (both history tables) refer to a user by name.
#include <QString>

// Whether a user other than `ownName` (exactly as stored) has `name`, as the editors compare
// names (SameEditorName).
bool UserNameTaken(const QString& name, const QString& ownName);
// Whether `oldName` and `newName` each have a saved day of one date: moving the days of one to
// the other would make one day of two.
bool SavedDaysClash(const QString& oldName, const QString& newName);
// The saved days of `oldName` go under `newName`, in both history tables, in one transaction.
void MoveSavedDays(const QString& oldName, const QString& newName);
// At start-up: the users' names stored with surrounding blanks (by an earlier version) lose them,
// with their saved days, unless the trimmed name is another user's or its days clash. One
// transaction; nothing written when every name is trimmed. Returns how many were trimmed.
int TrimStoredUserNames();
