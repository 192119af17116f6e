#include "data/ColumnWidths.h"

#include <QHash>
#include <QTextBoundaryFinder>

namespace {

QString key(const QString& table, const QString& column) {
    return table.toLower() + QLatin1Char('.') + column.toLower();
}

const QHash<QString, int>& widthMap() {
    static const QHash<QString, int> map = [] {
        QHash<QString, int> m;
        const auto add = [&m](const char* table, std::initializer_list<const char*> columns, int width) {
            for (const char* c : columns) m.insert(key(QLatin1String(table), QLatin1String(c)), width);
        };
        const auto languages = [](const char* stem) {
            const QString s = QLatin1String(stem);
            return QStringList{s + "Francais", s + "Anglais", s + "Allemand", s + "Italien", s + "Espagnol"};
        };
        const auto addLanguages = [&](const char* table, const char* stem, int width) {
            for (const QString& c : languages(stem)) m.insert(key(QLatin1String(table), c), width);
        };
        addLanguages("t_aliments", "NomAliment", 32);
        addLanguages("t_recettes", "NomRecette", 64);
        add("t_recettes", {"Image"}, 255);
        add("t_utilisateurs", {"Nom"}, 32);
        add("t_utilisateurs", {"Sexe"}, 1);
        addLanguages("t_activites", "NomActivite", 32);
        add("t_unites_mesures", {"NomUnite"}, 32);
        addLanguages("t_densites", "NomAliment", 32);
        add("t_consommation", {"NomAliment"}, 32);
        // The history copies the day's names and refers to users by their names.
        add("t_histo_consommation", {"NomAliment", "NomUtilisateur"}, 32);
        add("t_histo_infos_utilisateur", {"NomUtilisateur"}, 32);
        return m;
    }();
    return map;
}

}  // namespace

int ColumnTextWidth(const QString& table, const QString& column) {
    return widthMap().value(key(table, column), -1);
}

QString CutToWidth(const QString& text, int width) {
    if (width < 0 || text.size() <= width) return text;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    graphemes.setPosition(width);
    const qsizetype at = graphemes.isAtBoundary() ? width : graphemes.toPreviousBoundary();
    return text.left(std::max<qsizetype>(at, 0));
}
