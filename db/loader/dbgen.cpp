// Builds the shipped database from schema.sql and the seed folder (format in SeedLoader.h).
#include <iostream>

#include "SeedLoader.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: vivanda_dbgen schema.sql seed-folder out.db\n";
        return 2;
    }
    const std::string error = seed::buildDatabase(argv[1], argv[2], argv[3]);
    if (!error.empty()) {
        std::cerr << "dbgen: " << error << "\n";
        return 1;
    }
    return 0;
}
