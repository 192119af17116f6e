#pragma once
// Pages of the maker's web site opened from the program: the menu pages, the first-steps pages
// and the download page of a new version.
#include <QString>

// Opens `url` in the default browser. When no browser can be started, shows `text` with the
// caption `caption` (exclamation, "OK") and returns false.
bool OpenPageOrSay(const QString& url, const QString& text, const QString& caption);

// A page of the frame's "?" menu, by the string id of its address (172 the user guide, 90 the
// demonstration videos, 171 the home page); a browser failure gets the frame's connection message.
void OpenMenuPage(int stringId);
