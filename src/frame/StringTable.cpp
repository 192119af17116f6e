#include "frame/StringTable.h"

#include <QFile>
#include <QHash>
#include <QTextStream>

// The resources are compiled into a static library: make sure they are registered.
static void initVivandaResources() { Q_INIT_RESOURCE(resources); }

void EnsureVivandaResources() {
    static const bool done = (initVivandaResources(), true);
    Q_UNUSED(done);
}

namespace {
QHash<int, QString> loadTable() {
    EnsureVivandaResources();
    QHash<int, QString> table;
    QFile f(QStringLiteral(":/strings.tsv"));
    if (!f.open(QIODevice::ReadOnly)) return table;
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        QString line = in.readLine();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        int tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0) continue;
        bool ok = false;
        int id = line.left(tab).toInt(&ok);
        if (!ok) continue;
        QString text;
        const QString raw = line.mid(tab + 1);
        for (int i = 0; i < raw.size(); ++i) {
            if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
                QChar n = raw[++i];
                text += n == QLatin1Char('n') ? QChar('\n') : n == QLatin1Char('t') ? QChar('\t') : n;
            } else {
                text += raw[i];
            }
        }
        table.insert(id, text);
    }
    // A text may start with another entry's id in braces ("{171}Pages_fr/..."): the pages of the
    // maker's site all derive from its one base address.
    for (auto it = table.begin(); it != table.end(); ++it) {
        const QString& text = it.value();
        if (!text.startsWith(QLatin1Char('{'))) continue;
        const qsizetype close = text.indexOf(QLatin1Char('}'));
        bool ok = false;
        const int base = close > 1 ? text.mid(1, close - 1).toInt(&ok) : 0;
        if (!ok || base == it.key()) continue;
        const QString baseText = table.value(base);
        if (baseText.startsWith(QLatin1Char('{'))) continue;  // one level only
        it.value() = baseText + text.mid(close + 1);
    }
    return table;
}
}  // namespace

QString LoadString(int id) {
    static const QHash<int, QString> table = loadTable();
    return table.value(id);
}

QString MakerSiteAddress(const QString& path) { return LoadString(kMakerSiteId) + path; }
