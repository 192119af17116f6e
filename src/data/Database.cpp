#include "data/Database.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <cerrno>
#include <sys/statvfs.h>
#include <unistd.h>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <sqlite3.h>

#include "data/AccentFold.h"

namespace {

sqlite3* g_db = nullptr;
quint64 g_openings = 0;
// Statements prepared once for the connection (CachedStatement), finalized when it closes.
QHash<QString, sqlite3_stmt*> g_cached;
int g_savepointCounter = 0;

// Folded texts already met, lower and upper case. A search that compares every ingredient's food
// name meets the same names row after row; folding is the costly part. Bounded: emptied when full.
QHash<QByteArray, QByteArray> g_folded[2];
constexpr int kFoldedKept = 200000;

void sqlFold(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool toUpper = sqlite3_user_data(ctx) != nullptr;
    // The whole text, a NUL inside it included.
    const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray text = QByteArray::fromRawData(raw, sqlite3_value_bytes(argv[0]));
    // A plain ASCII text has no accent to fold: its letters change case where they are.
    if (std::all_of(text.cbegin(), text.cend(), [](char c) { return uchar(c) < 0x80 && c != 0; })) {
        char* out = static_cast<char*>(sqlite3_malloc64(sqlite3_uint64(text.size()) + 1));
        if (!out) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text[i];
            out[i] = toUpper ? (c >= 'a' && c <= 'z' ? char(c - 32) : c) : (c >= 'A' && c <= 'Z' ? char(c + 32) : c);
        }
        sqlite3_result_text(ctx, out, int(text.size()), sqlite3_free);
        return;
    }
    QHash<QByteArray, QByteArray>& kept = g_folded[toUpper ? 1 : 0];
    auto it = kept.constFind(text);
    if (it == kept.constEnd()) {
        if (kept.size() >= kFoldedKept) kept.clear();
        it = kept.insert(QByteArray(text.constData(), text.size()),
                         FoldAccents(QString::fromUtf8(text), toUpper).toUtf8());
    }
    sqlite3_result_text(ctx, it->constData(), int(it->size()), SQLITE_TRANSIENT);
}

void execPlain(const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(dbConnection(), sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) throwDatabaseError();
}

bool isBusyCode(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// What the file system says about a write the engine could not make, when its own code does not
// (a write or open I/O error whose system error was lost on the way): the disk full, or the
// database's file, its journal or log beside it, or its folder not writable.
enum class FileSystemRefusal { None, Full, ReadOnly };

bool noSpaceLeft(const QString& folder) {
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(folder).constData(), &fs) != 0) return false;
    // The administrator may also use the blocks kept for him.
    return (::geteuid() == 0 ? fs.f_bfree : fs.f_bavail) == 0;
}

bool notWritable(const QString& path) {
    if (::access(QFile::encodeName(path).constData(), W_OK) == 0) return false;
    return errno == EROFS || errno == EACCES || errno == EPERM;
}

FileSystemRefusal fileSystemRefusal(const QString& dbPath) {
    if (dbPath.isEmpty()) return FileSystemRefusal::None;
    const QString folder = QFileInfo(dbPath).absolutePath();
    if (noSpaceLeft(folder)) return FileSystemRefusal::Full;
    // A file that cannot even be read is not a read-only one.
    if (::access(QFile::encodeName(dbPath).constData(), R_OK) != 0) return FileSystemRefusal::None;
    for (const QString& path : {dbPath, dbPath + QStringLiteral("-wal"), dbPath + QStringLiteral("-journal"), folder})
        if (notWritable(path)) return FileSystemRefusal::ReadOnly;
    return FileSystemRefusal::None;
}

// The engine's code behind a failed write or open, with the system's error read right after
// it: a full disk or a protected file told as such.
int refinedCode(int code, int systemErrno, const QString& dbPath) {
    const int primary = code & 0xFF;
    if (primary != SQLITE_IOERR && primary != SQLITE_CANTOPEN) return code;
    if (systemErrno == ENOSPC || systemErrno == EDQUOT) return SQLITE_FULL;
    if (primary == SQLITE_IOERR && (systemErrno == EROFS || systemErrno == EACCES || systemErrno == EPERM))
        return SQLITE_READONLY;
    switch (fileSystemRefusal(dbPath)) {
    case FileSystemRefusal::Full: return SQLITE_FULL;
    case FileSystemRefusal::ReadOnly: return SQLITE_READONLY;
    case FileSystemRefusal::None: return code;
    }
    return code;
}

QString openPath() {
    const char* name = g_db ? sqlite3_db_filename(g_db, "main") : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

// Whether the file and its folder take a write: the header's user version is written back
// unchanged, which needs the journal beside the file, then rolled back. Returns SQLITE_OK, or
// the engine's code of the refusal with the system's error read at once. A database another
// program holds for writing cannot be told and passes.
int writeProbe(sqlite3* db, int& systemErrno) {
    systemErrno = 0;
    auto failed = [&](int rc) {
        systemErrno = sqlite3_system_errno(db);
        return isBusyCode(rc) ? SQLITE_OK : rc;
    };
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return failed(sqlite3_extended_errcode(db));
    int version = 0;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    const QByteArray rewrite = "PRAGMA user_version = " + QByteArray::number(version);
    rc = sqlite3_exec(db, rewrite.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) rc = failed(sqlite3_extended_errcode(db));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace

DatabaseError::DatabaseError(const QString& message, int sqliteCode)
    : std::runtime_error(message.toStdString()), code_(sqliteCode) {}

bool DatabaseError::busy() const { return isBusyCode(code_); }

bool IsDatabaseBusy(const std::exception& e) {
    const auto* error = dynamic_cast<const DatabaseError*>(&e);
    return error && error->busy();
}

DatabaseFailure DatabaseFailureKind(const std::exception& e) {
    const auto* error = dynamic_cast<const DatabaseError*>(&e);
    if (!error) return DatabaseFailure::Other;
    if (error->sqliteCode() == 0) return DatabaseFailure::Own;
    // A write the system refused without saying why by the time the engine reported it: the
    // file system is asked (a file made read-only while the program runs, a full disk).
    switch (refinedCode(error->sqliteCode(), 0, openPath()) & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseFailure::Busy;
    case SQLITE_FULL:
        return DatabaseFailure::Full;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return DatabaseFailure::ReadOnly;
    case SQLITE_CONSTRAINT:
        return DatabaseFailure::Constraint;
    default:
        return DatabaseFailure::Other;
    }
}

QString DatabaseFailureText(const std::exception& e) {
    const QString blank = QStringLiteral("        ");
    const QString nothingLost =
        QStringLiteral("\n") + blank + QStringLiteral("Rien n'a été modifié ni perdu dans la base de données.");
    QString what;
    switch (DatabaseFailureKind(e)) {
    case DatabaseFailure::Own:
        return static_cast<const DatabaseError&>(e).message();
    case DatabaseFailure::Busy:
        return blank + QStringLiteral("La base de données est utilisée par un autre programme.") + nothingLost +
               QStringLiteral("\n") + blank + QStringLiteral("Réessayez dans un instant.");
    case DatabaseFailure::Full:
        return blank + QStringLiteral("Le disque est plein : la base de données ne peut\n") + blank +
               QStringLiteral("plus s'agrandir.") + nothingLost + QStringLiteral("\n") + blank +
               QStringLiteral("Libérez de la place sur le disque, puis réessayez.");
    case DatabaseFailure::ReadOnly:
        what = QStringLiteral("La base de données est en lecture seule : son fichier\n") + blank +
               QStringLiteral("ou son dossier est protégé en écriture.");
        break;
    case DatabaseFailure::Constraint:
        what = QStringLiteral("La base de données a refusé l'écriture : une valeur\n") + blank +
               QStringLiteral("manque, existe déjà ou est encore utilisée ailleurs.");
        break;
    case DatabaseFailure::Other: {
        const auto* error = dynamic_cast<const DatabaseError*>(&e);
        what = error ? QStringLiteral("La base de données n'a pu être lue ou écrite (code %1).").arg(error->sqliteCode())
                     : QStringLiteral("Une erreur inattendue a interrompu l'opération.");
        break;
    }
    }
    return blank + what + nothingLost;
}

const QStringList& requiredTables() {
    static const QStringList names = {
        "t_aliments", "t_cataliments", "t_recettes", "t_ingredients_recettes",
        "t_categories_recettes", "t_categories", "t_utilisateurs", "t_activites",
        "t_catconsommation", "t_alim_recette_catconso", "t_unites_mesures", "t_densites",
        "t_densites_unites_mesures", "t_consommation", "t_histo_consommation",
        "t_histo_infos_utilisateur", "t_categories_recettes_temp", "t_ingredients_recettes_temp"};
    return names;
}

QString openDatabase(const QString& dataDir, int busyTimeoutMs) {
    closeDatabase();
    const QString path = QDir(dataDir).filePath(QStringLiteral("vivanda.db"));
    const QString blank = QStringLiteral("        ");
    if (dataDir.isEmpty() || !QFileInfo(dataDir).isDir())
        return blank + QStringLiteral("Le dossier des données est introuvable :\n") + blank +
               QDir::toNativeSeparators(dataDir);
    if (!QFileInfo(path).isFile())
        return blank + QStringLiteral("La base de données est introuvable :\n") + blank +
               QDir::toNativeSeparators(path);

    sqlite3* db = nullptr;
    // The program uses its one connection from the GUI thread alone: no lock around each call.
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_extended_result_codes(db, 1);
    // The start is refused with the cause in French; the engine's own English text never shows.
    auto refuse = [&](const QString& problem) {
        sqlite3_close(db);
        return blank + problem + QStringLiteral(" :\n") + blank + QDir::toNativeSeparators(path);
    };
    const QString readOnly = QStringLiteral("La base de données est en lecture seule : son fichier ou son dossier\n") +
                             blank + QStringLiteral("est protégé en écriture");
    // Each failure by its cause, the system's error read right after the engine's.
    auto refused = [&](int code) {
        code = refinedCode(code, db ? sqlite3_system_errno(db) : 0, path);
        switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return refuse(QStringLiteral("La base de données est utilisée par un autre programme"));
        case SQLITE_NOTADB:
            return refuse(QStringLiteral("Le fichier de la base de données n'est pas une base de données"));
        case SQLITE_CORRUPT:
            return refuse(QStringLiteral("La base de données est endommagée"));
        case SQLITE_FULL:
            return refuse(QStringLiteral("Le disque est plein : la base de données ne peut rien enregistrer.\n") + blank +
                          QStringLiteral("Libérez de la place sur le disque de la base de données"));
        case SQLITE_READONLY:
            return refuse(readOnly);
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            return refuse(QStringLiteral("La base de données ne peut pas être ouverte : son fichier ou son "
                                         "dossier\n") + blank + QStringLiteral("n'est pas accessible en lecture et en écriture"));
        default:
            return refuse(QStringLiteral("La base de données ne peut pas être lue (code %1)").arg(code));
        }
    };
    if (rc != SQLITE_OK) return refused(rc);
    // Before any statement: a database another program holds for a moment is waited for.
    sqlite3_busy_timeout(db, busyTimeoutMs);

    // Reading the table list also proves the file is a database we can read.
    QStringList present;
    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &st, nullptr);
    if (rc != SQLITE_OK) return refused(rc);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        present << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return refused(rc);
    for (const QString& table : requiredTables()) {
        if (!present.contains(table, Qt::CaseInsensitive)) {
            sqlite3_close(db);
            return blank + QStringLiteral("La table %1 est absente de la base de données :\n").arg(table) +
                   blank + QDir::toNativeSeparators(path);
        }
    }
    // Every save would fail later on a file, or in a folder, that cannot be written, or on a
    // full disk.
    if (sqlite3_db_readonly(db, "main") == 1) return refuse(readOnly);
    int probeErrno = 0;
    rc = writeProbe(db, probeErrno);
    if (rc != SQLITE_OK) {
        rc = refinedCode(rc, probeErrno, path);
        return refused((rc & 0xFF) == SQLITE_IOERR || (rc & 0xFF) == SQLITE_CANTOPEN ? SQLITE_READONLY : rc);
    }

    sqlite3_create_function_v2(db, "FoldAccents", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               sqlFold, nullptr, nullptr, nullptr);
    static int upperTag = 1;
    sqlite3_create_function_v2(db, "FoldAccentsUpper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &upperTag,
                               sqlFold, nullptr, nullptr, nullptr);
    g_db = db;
    ++g_openings;
    execPlain("PRAGMA foreign_keys = ON");
    // WAL needs a writable folder for its side files; without it the default journal stays.
    sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    // Up to 40 MB of pages kept between statements (the engine keeps 2 MB by default): what the
    // windows read (the names and indexes of the lists, the pages of rows shown, the foods' table
    // the searches go through) stays in memory with ten times the shipped data and mostly with a
    // hundred; the tables themselves are read a page of rows at a time, never whole.
    sqlite3_exec(db, "PRAGMA cache_size = -40960", nullptr, nullptr, nullptr);
    return QString();
}

void closeDatabase() {
    if (!g_db) return;
    for (sqlite3_stmt* st : std::as_const(g_cached)) sqlite3_finalize(st);
    g_cached.clear();
    sqlite3_close_v2(g_db);
    g_db = nullptr;
}

bool databaseIsOpen() { return g_db != nullptr; }

sqlite3* dbConnection() {
    if (!g_db) throw DatabaseError(QStringLiteral("La base de données n'est pas ouverte."));
    return g_db;
}

CachedStatement::CachedStatement(const QString& sql) {
    sqlite3* db = dbConnection();
    auto it = g_cached.constFind(sql);
    if (it == g_cached.constEnd()) {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &prepared, nullptr) !=
            SQLITE_OK)
            throwDatabaseError();
        it = g_cached.insert(sql, prepared);
    }
    st_ = *it;
}

CachedStatement::~CachedStatement() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

DataStamp CurrentDataStamp() {
    static qint64 unreadable = 0;
    sqlite3* db = dbConnection();
    DataStamp stamp;
    stamp.opening = g_openings;
    stamp.ownChanges = sqlite3_total_changes64(db);
    // Inside a transaction what is read may still be undone by a rollback, which moves none of
    // the counts: such a stamp matches no other.
    sqlite3_stmt* st = nullptr;
    if (!InTransaction() && sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        stamp.otherCommits = sqlite3_column_int64(st, 0);
    else
        stamp.otherCommits = -(++unreadable);   // unknown: matches no other stamp
    sqlite3_finalize(st);
    return stamp;
}

bool InTransaction() { return g_db && !sqlite3_get_autocommit(g_db); }

void throwDatabaseError(const QString& what) {
    QString msg = g_db ? QString::fromUtf8(sqlite3_errmsg(g_db)) : QStringLiteral("base non ouverte");
    int code = g_db ? sqlite3_extended_errcode(g_db) : 0;
    // A write the system refused: a full disk or a protected file, as the engine's own codes say.
    if (g_db && (code & 0xFF) == SQLITE_IOERR) {
        const int err = sqlite3_system_errno(g_db);
        if (err == ENOSPC || err == EDQUOT) code = SQLITE_FULL;
        else if (err == EROFS || err == EACCES || err == EPERM) code = SQLITE_READONLY;
    }
    throw DatabaseError(what.isEmpty() ? msg : what + QStringLiteral(" : ") + msg, code);
}

Transaction::Transaction() {
    if (sqlite3_get_autocommit(dbConnection())) {
        execPlain("BEGIN IMMEDIATE");
    } else {
        savepoint_ = QStringLiteral("vivanda_sp%1").arg(++g_savepointCounter);
        execPlain(QStringLiteral("SAVEPOINT %1").arg(savepoint_).toUtf8().constData());
    }
}

Transaction::~Transaction() {
    if (done_ || !g_db) return;
    if (savepoint_.isEmpty()) {
        sqlite3_exec(g_db, "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        const QByteArray sql =
            QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(savepoint_).toUtf8();
        sqlite3_exec(g_db, sql.constData(), nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    if (done_) return;
    if (savepoint_.isEmpty())
        execPlain("COMMIT");
    else
        execPlain(QStringLiteral("RELEASE %1").arg(savepoint_).toUtf8().constData());
    done_ = true;
}
