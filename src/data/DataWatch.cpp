#include "data/DataWatch.h"

#include <exception>

bool DataWatch::stale() const {
    if (!seen_ || !databaseIsOpen()) return true;
    return !(CurrentDataStamp() == *seen_);
}

void DataWatch::seen() {
    if (databaseIsOpen()) seen_ = CurrentDataStamp();
    else seen_.reset();
}

void DataWatch::refresh(const std::function<void()>& read) {
    try {
        if (stale()) read();
    } catch (const std::exception&) {
        forget();
    }
}
