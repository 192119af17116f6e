#pragma once
#include <sys/wait.h>
#include <unistd.h>
// A database N times the shipped one, for the benchmarks that follow the program's cost as its
// data grow: the shipped reference rows, the foods N times over (9,470 at N = 10), the recipes
// 2.3 N times over (2,001 at N = 10) with their ingredients and themes, and N years of one
// user's history (20 foods a day); that user is also the one row of t_utilisateurs.
//
//   const int scale = BenchScale(argc, argv);          // --scale=N, 10 when absent
//   ScaledFolder folder(scale);                        // <temp>/Data/vivanda.db, closed
//   folder.open();                                     // the program's connection on it
//
// Copies keep their category, per-gram values and rights; a copy's names end with " k" (cut so
// that they stay within the column's width); its ingredients are foods of another copy.
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "SeedLoader.h"
#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"

// Reads --scale=N from the command line (and takes it out, so that the benchmark library does
// not see it); 10 when absent.
inline int BenchScale(int& argc, char** argv) {
    int scale = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--scale=", 8) != 0) continue;
        scale = std::max(1, std::atoi(argv[i] + 8));
        for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
        --argc;
        break;
    }
    return scale;
}

namespace scaled {

constexpr int kRowsPerDay = 20;
inline const char* const kUser = "Camille";

// "Nom" for the original (copy 0), "Nom 3" for copy 3, within `width` characters.
inline QString copyName(const QString& column, int copy, int width) {
    if (copy == 0) return column;
    const QString suffix = QStringLiteral(" %1").arg(copy);
    return QStringLiteral("substr(%1, 1, %2) || '%3'").arg(column).arg(width - suffix.size()).arg(suffix);
}

// The five name columns of a copy, as a select list.
inline QString copyNames(const char* prefix, int copy, int width) {
    QStringList names;
    for (const char* lang : {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"})
        names << copyName(QLatin1String(prefix) + QLatin1String(lang), copy, width);
    return names.join(QStringLiteral(", "));
}

inline void multiplyFoods(int copies) {
    const int top = Query::scalar(QStringLiteral("SELECT MAX(IdAliment) FROM t_aliments")).toInt();
    for (int k = 1; k < copies; ++k) {
        Query::execute(QStringLiteral("INSERT INTO t_aliments SELECT IdAliment + %1, %2, CaloriesGramme, "
                                      "LipidesGramme, ProtidesGramme, GlucidesGramme, PoidsMoyen, Usuel, "
                                      "DroitsModifUtilisateur, IdCatAliment FROM t_aliments WHERE IdAliment <= %3")
                           .arg(k * top).arg(copyNames("NomAliment", k, 32)).arg(top));
    }
}

// `topFood`: the largest id of the shipped foods, the offset between two copies of them.
inline void multiplyRecipes(int copies, int foodCopies, int topFood) {
    const int top = Query::scalar(QStringLiteral("SELECT MAX(IdRecette) FROM t_recettes")).toInt();
    for (int k = 1; k < copies; ++k) {
        Query::execute(QStringLiteral("INSERT INTO t_recettes SELECT IdRecette + %1, %2, DescRecetteFrancais, "
                                      "DescRecetteAnglais, DescRecetteAllemand, DescRecetteItalien, "
                                      "DescRecetteEspagnol, TempsPreparation, CaloriesGramme, LipidesGramme, "
                                      "ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, Image "
                                      "FROM t_recettes WHERE IdRecette <= %3")
                           .arg(k * top).arg(copyNames("NomRecette", k, 64)).arg(top));
        Query::execute(QStringLiteral("INSERT INTO t_ingredients_recettes SELECT IdRecette + %1, IdAliment + %2, "
                                      "QuantiteGramme FROM t_ingredients_recettes WHERE IdRecette <= %3")
                           .arg(k * top).arg((k % foodCopies) * topFood).arg(top));
        Query::execute(QStringLiteral("INSERT INTO t_categories_recettes SELECT IdCategorie, IdRecette + %1 "
                                      "FROM t_categories_recettes WHERE IdRecette <= %2")
                           .arg(k * top).arg(top));
    }
}

// `days` saved days of `user` from `first` on: 20 foods a day taken from the food table, and
// the day's weight and objective.
inline void saveHistory(const QString& user, const QDate& first, int days) {
    const int foods = Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_aliments")).toInt();
    Query food(QStringLiteral(
        "WITH RECURSIVE d(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM d WHERE n + 1 < ?), "
        "r(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM r WHERE k < ?) "
        "INSERT INTO t_histo_consommation SELECT ?, date(?, '+' || n || ' days'), a.NomAlimentFrancais, "
        "a.CaloriesGramme, a.LipidesGramme, a.ProtidesGramme, a.GlucidesGramme, 20 + (n * 7 + k * 31) % 250, k "
        "FROM d, r JOIN t_aliments a ON a.rowid = 1 + (n * 37 + k * 113) % ? ORDER BY n, k"));
    food.addBindValue(days).addBindValue(kRowsPerDay).addBindValue(user).addBindValue(first)
        .addBindValue(foods);
    food.exec();
    Query infos(QStringLiteral(
        "WITH RECURSIVE d(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM d WHERE n + 1 < ?) "
        "INSERT INTO t_histo_infos_utilisateur SELECT ?, date(?, '+' || n || ' days'), 80 - n * 0.001, 2200 FROM d"));
    infos.addBindValue(days).addBindValue(user).addBindValue(first);
    infos.exec();
}

}  // namespace scaled

// Builds <dataDir>/vivanda.db at the given scale (see above) and leaves it closed.
inline void BuildScaledDatabase(const QString& dataDir, int scale) {
    QDir().mkpath(dataDir);
    const std::string source = VIVANDA_SOURCE_DIR;
    const std::string problem = seed::buildDatabase(source + "/db/schema.sql", source + "/db/seed",
                                                    QDir(dataDir).filePath(QStringLiteral("vivanda.db")).toStdString());
    if (!problem.empty()) throw std::runtime_error(problem);
    if (const QString opened = openDatabase(dataDir); !opened.isEmpty()) throw std::runtime_error(opened.toStdString());
    {
        Transaction t;
        const int topFood = Query::scalar(QStringLiteral("SELECT MAX(IdAliment) FROM t_aliments")).toInt();
        scaled::multiplyFoods(scale);
        scaled::multiplyRecipes(scale * 23 / 10, scale, topFood);
        const QDate first(2016, 1, 1);
        scaled::saveHistory(QString::fromLatin1(scaled::kUser), first, 365 * scale);
        Query::execute(QStringLiteral("INSERT INTO t_utilisateurs VALUES (?, 40, 170, 70, 'F')"),
                       {QString::fromLatin1(scaled::kUser)});
        t.commit();
    }
    closeDatabase();
}

// A working folder holding Data/vivanda.db at a scale; removed at the end.
class ScaledFolder {
public:
    explicit ScaledFolder(int scale) : scale_(scale) {
        // VIVANDA_BENCH_KEEP=1 leaves the folder behind, to study its statements by hand.
        if (qEnvironmentVariableIsSet("VIVANDA_BENCH_KEEP")) {
            dir_.setAutoRemove(false);
            fprintf(stderr, "scaled folder kept: %s\n", qPrintable(dir_.path()));
        }
        // Built by a child process, so that the memory the building takes is not counted in the
        // peak memory of the process measured.
        const pid_t child = fork();
        if (child == 0) {
            try {
                BuildScaledDatabase(dataDir(), scale);
            } catch (const std::exception& e) {
                fprintf(stderr, "%s\n", e.what());
                _exit(1);
            }
            _exit(0);
        }
        int status = 0;
        if (child < 0) BuildScaledDatabase(dataDir(), scale);
        else if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error("the scaled database could not be built");
    }
    ~ScaledFolder() { closeDatabase(); }
    ScaledFolder(const ScaledFolder&) = delete;
    ScaledFolder& operator=(const ScaledFolder&) = delete;

    QString path() const { return dir_.path(); }
    QString dataDir() const { return QDir(dir_.path()).filePath(QStringLiteral("Data")); }
    int scale() const { return scale_; }
    // Opens the program's connection on the folder's database.
    void open() const {
        appState().DataDirectory = dataDir();
        if (const QString problem = openDatabase(dataDir()); !problem.isEmpty())
            throw std::runtime_error(problem.toStdString());
    }

private:
    QTemporaryDir dir_;
    int scale_;
};
