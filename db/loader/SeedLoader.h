#pragma once
// Builds a Vivanda database from the schema and a folder of seed files. Shared by the build-time
// generator (dbgen) and the test fixtures.
//
// Seed format: one file <table>.tsv per table, UTF-8, tab-separated; the first line holds column
// names; an empty field is NULL; inside a field \t, \n and \\ stand for a tab, a line feed and a
// backslash. Column affinity turns numeric text into numbers.
#include <sqlite3.h>

#include <string>
#include <vector>

namespace seed {

// Splits one line at its tabs, undoing the escapes.
std::vector<std::string> splitFields(const std::string& line);

// Loads one seed file into the table named after it. Returns "" or an error message.
std::string loadSeedFile(sqlite3* db, const std::string& path);

// Writes a fresh database at outPath (an existing file is replaced): runs the schema, then loads
// every .tsv of seedDir in name order, all in one transaction. Returns "" or an error message.
std::string buildDatabase(const std::string& schemaPath, const std::string& seedDir,
                          const std::string& outPath);

}  // namespace seed
