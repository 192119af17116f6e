#pragma once
// The program's one SQLite connection, opened on <data folder>/vivanda.db.
//
//   QString problem = openDatabase(dataDir);  // "" when ready, else a French message naming the path
//   ...                                    // Query / Table use the connection
//   closeDatabase();
//
// The connection runs with foreign keys on (a food used by a recipe cannot be deleted), WAL
// journal and a busy timeout: a statement that meets another program's lock waits for it, up to
// the timeout, then fails with a DatabaseError whose busy() is true. Two SQL functions are registered on it for accent-insensitive
// search: FoldAccents(text) (folded, lower case) and FoldAccentsUpper(text) (folded, upper case),
// so "FoldAccents(NomX) LIKE FoldAccents(?) || '%'" finds "Crème" from "creme".
// Every failure of the engine is raised as DatabaseError carrying SQLite's message.
#include <QString>
#include <stdexcept>

struct sqlite3;

class DatabaseError : public std::runtime_error {
public:
    // `sqliteCode`: the engine's result code behind the failure, 0 for the program's own errors.
    explicit DatabaseError(const QString& message, int sqliteCode = 0);
    QString message() const { return QString::fromUtf8(what()); }
    int sqliteCode() const { return code_; }
    // Another program held the database locked for longer than the busy timeout.
    bool busy() const;

private:
    int code_ = 0;
};

// Whether `e` is a DatabaseError raised because another program held the database locked.
bool IsDatabaseBusy(const std::exception& e);

// The kinds of failure a user is told about. Own: the program's own error, whose message is
// already French (a text that is not a number, a missing row); the others come from the engine.
enum class DatabaseFailure { Own, Busy, Full, ReadOnly, Constraint, Other };
DatabaseFailure DatabaseFailureKind(const std::exception& e);
// What a user reads about a failure, in French: for the engine's failures what happened and
// that nothing was lost (the engine's English text never shows), for the program's own errors
// their message.
//   catch (const std::exception& e) { ShowMessageBox(DatabaseFailureText(e), ...); }
QString DatabaseFailureText(const std::exception& e);

// How long a statement waits for another program's lock before failing, in milliseconds.
constexpr int kDefaultBusyTimeoutMs = 5000;

// Opens <dataDir>/vivanda.db (read-write, never created) and checks that the data folder, the
// file and the eighteen tables are there. Returns "" on success; otherwise a French message
// naming the path, with nothing opened or created ("... utilisée par un autre programme" when it
// stayed locked beyond the busy timeout). Opening again first closes.
QString openDatabase(const QString& dataDir, int busyTimeoutMs = kDefaultBusyTimeoutMs);
// Closes the connection; the last one to close folds the write-ahead log back into the file and
// removes its -wal and -shm side files.
void closeDatabase();
bool databaseIsOpen();

// The open connection; raises DatabaseError when none is open.
sqlite3* dbConnection();

// What the database holds, as this connection can tell: equal stamps taken at two moments mean
// no row was written in between, by this connection (committed or not) or by another one, and the
// same database stayed open. Costs one small statement. A stamp taken inside a transaction
// matches no other: a rollback would undo what was read then without moving any count.
struct DataStamp {
    quint64 opening = 0;     // the connection (each opening counts)
    qint64 otherCommits = 0; // PRAGMA data_version: moves with the other connections' commits
    qint64 ownChanges = 0;   // rows this connection inserted, changed or deleted
    bool operator==(const DataStamp&) const = default;
};
DataStamp CurrentDataStamp();
// Whether a transaction is open on the connection: what is read then may still be rolled back,
// which moves none of the stamp's counts.
bool InTransaction();

// A statement of the program's own text prepared once for the connection and kept until it
// closes (the lookups and page reads of the tables run the same few statements again and
// again). Reset and its bindings cleared when the guard goes out of scope; not re-entrant: one
// guard per text at a time.
//   CachedStatement st("SELECT rowid FROM t_aliments WHERE IdAliment = ?");
//   bindSqlValue(st, 1, id); while (sqlite3_step(st) == SQLITE_ROW) ...
struct sqlite3_stmt;
class CachedStatement {
public:
    explicit CachedStatement(const QString& sql);
    ~CachedStatement();
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;
    operator sqlite3_stmt*() const { return st_; }

private:
    sqlite3_stmt* st_ = nullptr;
};

// Raises DatabaseError with the connection's last message, prefixed by `what` when not empty.
[[noreturn]] void throwDatabaseError(const QString& what = QString());

// The eighteen tables the program needs, in the order of the data model.
const QStringList& requiredTables();

// All-or-nothing write of several statements:
//   { Transaction t; q1.exec(); q2.exec(); t.commit(); }
// Leaving the scope without commit() rolls back everything done since the guard was made.
// Guards nest (an inner guard becomes a savepoint of the outer transaction).
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    QString savepoint_;   // empty for an outermost BEGIN/COMMIT
    bool done_ = false;
};
