#pragma once
// The two settings files of the working folder, read into and written from appState():
//   Options.dat  10 bytes: SwitchReserved, SwitchRecipeInfo, SwitchConsumptionInfo,
//                SwitchCaloriesAboveObjective, SwitchCarbsBelowMinimum,
//                SwitchObjectiveBelowNeeds (one byte each), StartupModule (int32, little-endian)
//   Langue.dat   4 bytes: LanguageCode (int32, little-endian); never written by the program.
// `folder` is the working folder; an empty text means the current directory.
#include <QByteArray>
#include <QString>

// Reads Options.dat. A file that cannot be opened gives the defaults (six switches at 1,
// StartupModule 1); a short file leaves the fields it does not reach at 0; bytes beyond the
// tenth are ignored. The content is not validated.
void ReadOptionsFile(const QString& folder = QString());

// Writes Options.dat from the settings when OptionsDirty is set; otherwise leaves the file as it
// is. A folder or file that cannot be written makes the write skip silently, keeping the old
// file whole. Returns whether the file was written.
bool WriteOptionsFile(const QString& folder = QString());

// Reads Langue.dat into LanguageCode: 0 when it cannot be opened; a file shorter than 4 bytes
// replaces only the low bytes it holds.
void ReadLanguageFile(const QString& folder = QString());

// The codec itself, without files.
void DecodeOptions(const QByteArray& bytes);  // as ReadOptionsFile for a file holding `bytes`
QByteArray EncodeOptions();                    // the 10 bytes of the current settings
