#include "data/DataWatch.h"

bool DataWatch::stale() const {
    if (!seen_ || !databaseIsOpen()) return true;
    return !(CurrentDataStamp() == *seen_);
}

void DataWatch::seen() {
    if (databaseIsOpen()) seen_ = CurrentDataStamp();
    else seen_.reset();
}
