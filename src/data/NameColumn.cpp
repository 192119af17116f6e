#include "data/NameColumn.h"

int ChooseNameColumn(const QStringList& names, int languageCode) {
    auto present = [&](int i) { return i < names.size() && !names[i].isEmpty(); };
    for (int i = 0; i < 5; ++i) {
        if (i * 200 != languageCode) continue;
        if (present(i)) return i;
        for (int j = 0; j < 5; ++j)
            if (present(j)) return j;
        return -1;
    }
    return -1;
}

QStringList NameColumnNames(const QString& prefix) {
    QStringList out;
    for (const char* suffix : {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"})
        out << prefix + QString::fromLatin1(suffix);
    return out;
}
