#pragma once
// The program's string table (ids 0-178), loaded from resources/strings.tsv.
#include <QString>

// Text of a string-table entry; an unknown id gives an empty text.
QString LoadString(int id);

// The maker's web site: the base address (ending in "/") every page of the site derives from.
constexpr int kMakerSiteId = 171;
// The address of a page of the maker's site, given by its path on the site.
QString MakerSiteAddress(const QString& path);

// Registers the program's compiled-in resources (strings, bitmaps); safe to call repeatedly.
void EnsureVivandaResources();
