#pragma once
// Lets GoogleTest print Qt values readably in failure messages. Force-included into every test
// source by tests/CMakeLists.txt, so all of them agree on how a QString prints.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
