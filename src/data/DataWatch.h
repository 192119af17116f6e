#pragma once
// What a window last read of the database: a list filled from it is stale once a row was written
// since (by this program or another one), and is read again only then.
//
//   if (watch.stale()) { fillLists(); watch.seen(); }   // an unchanged database costs one pragma
#include <functional>
#include <optional>

#include "data/Database.h"

class DataWatch {
public:
    // True before the first seen(), and when a row may have been written since the last one (or
    // the database is not the one open then).
    bool stale() const;
    // The lists now show what is stored.
    void seen();
    // The next stale() says yes whatever happens meanwhile.
    void forget() { seen_.reset(); }
    // When stale, runs `read` (which fills the lists again and calls seen()). A database that
    // cannot be read now leaves the lists as they are, to be read again at the next call.
    void refresh(const std::function<void()>& read);

private:
    std::optional<DataStamp> seen_;
};
