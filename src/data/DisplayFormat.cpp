#include "data/DisplayFormat.h"

#include "platform/report/NumberMask.h"

#include <QLocale>

// The grids and the printed reports share one mask formatter.
QString FormatFloatMask(double value, const QString& mask) {
    return report::formatNumber(value, mask, QLocale());
}
