#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>
#include <unistd.h>

#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "support/DataFixture.h"

namespace {
int count(const QString& sql) { return Query::scalar(sql).toInt(); }

// The French text of the failure `write` meets.
QString failureOf(const std::function<void()>& write) {
    try {
        write();
    } catch (const std::exception& e) {
        return DatabaseFailureText(e);
    }
    return QStringLiteral("(no failure)");
}

// While it lives, the engine's file writes fail as on a full disk: the system answers "no space
// left" (through the engine's own hook for its system calls, so that the engine takes the same
// paths as on a real full disk).
class FullDisk {
public:
    FullDisk() {
        vfs_ = sqlite3_vfs_find(nullptr);
        write_ = vfs_->xGetSystemCall(vfs_, "write");
        pwrite64_ = vfs_->xGetSystemCall(vfs_, "pwrite64");
        vfs_->xSetSystemCall(vfs_, "write", reinterpret_cast<sqlite3_syscall_ptr>(&noSpace3));
        if (pwrite64_) vfs_->xSetSystemCall(vfs_, "pwrite64", reinterpret_cast<sqlite3_syscall_ptr>(&noSpace4));
    }
    ~FullDisk() {
        vfs_->xSetSystemCall(vfs_, "write", write_);
        if (pwrite64_) vfs_->xSetSystemCall(vfs_, "pwrite64", pwrite64_);
    }

private:
    static ssize_t noSpace3(int, const void*, size_t) { return errno = ENOSPC, -1; }
    static ssize_t noSpace4(int, const void*, size_t, off_t) { return errno = ENOSPC, -1; }
    sqlite3_vfs* vfs_ = nullptr;
    sqlite3_syscall_ptr write_ = nullptr, pwrite64_ = nullptr;
};

// While it lives, the data folder cannot be written, and the program runs as an ordinary user
// (the administrator may write anywhere): false when this cannot be arranged here.
class ReadOnlyDataFolder {
public:
    explicit ReadOnlyDataFolder(const TestDataFolder& folder) : folder_(folder) {
        QFile::setPermissions(folder.root(), QFileDevice::Permissions(0x7755));
        QFile::setPermissions(folder.dbPath(), QFileDevice::Permissions(0x6666));
        QFile::setPermissions(folder.dataDir(), QFileDevice::Permissions(0x5555));
        asRoot_ = ::geteuid() == 0;
        ok_ = !asRoot_ || (::setegid(65534) == 0 && ::seteuid(65534) == 0);
    }
    ~ReadOnlyDataFolder() {
        if (asRoot_ && (::seteuid(0) != 0 || ::setegid(0) != 0)) ADD_FAILURE() << "back to the administrator";
        QFile::setPermissions(folder_.dataDir(), QFileDevice::Permissions(0x7755));
    }
    bool ok() const { return ok_; }

private:
    const TestDataFolder& folder_;
    bool asRoot_ = false, ok_ = false;
};

void setJournal(const TestDataFolder& folder, const char* mode) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(folder.dbPath().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, (QByteArray("PRAGMA journal_mode = ") + mode).constData(), nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}
}  // namespace

// A start that cannot write says why, whatever journal the database was left with: a full disk
// is a full disk (the check write fails, or the log's shared memory cannot be made), a read-only
// folder is said as such (the write-ahead log cannot be made beside the file).
TEST(DatabaseOpen, AStartThatCannotWriteSaysItsRealCause) {
    TestDataFolder folder(false);
    for (const char* mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        setJournal(folder, mode);
        QString said;
        {
            FullDisk full;
            said = openDatabase(folder.dataDir());
        }
        EXPECT_TRUE(said.contains(QString::fromUtf8("Le disque est plein")) && said.contains(folder.dbPath()))
            << said.toStdString();
        EXPECT_FALSE(databaseIsOpen());
        for (const char* side : {"-wal", "-shm", "-journal"}) QFile::remove(folder.dbPath() + side);
        {
            ReadOnlyDataFolder readOnly(folder);
            if (!readOnly.ok()) GTEST_SKIP() << "no ordinary user here";
            said = openDatabase(folder.dataDir());
        }
        EXPECT_TRUE(said.contains(QString::fromUtf8("lecture seule")) && said.contains(folder.dbPath()))
            << said.toStdString();
        EXPECT_FALSE(databaseIsOpen());
    }
    EXPECT_EQ(openDatabase(folder.dataDir()), QString());
}

// A database made read-only while the program runs (its files made immutable): the engine only
// says it could not write, and the user reads that the database is read-only.
TEST_F(DataTest, ADatabaseMadeReadOnlyWhileRunningIsSaidReadOnly) {
    Query::execute("UPDATE t_activites SET Duree = 1");   // the write-ahead log is there
    const QStringList files{folder().dbPath(), folder().dbPath() + "-wal"};
    if (QProcess::execute("chattr", QStringList{"+i"} + files) != 0)
        GTEST_SKIP() << "files cannot be made immutable here";
    const QString said = failureOf([] { Query::execute("UPDATE t_activites SET Duree = 2"); });
    QProcess::execute("chattr", QStringList{"-i"} + files);
    EXPECT_TRUE(said.contains(QString::fromUtf8("lecture seule"))) << said.toStdString();
    EXPECT_EQ(count("SELECT MAX(Duree) FROM t_activites"), 1);
}

// Each start-up problem gets a French message naming the path, opens nothing and creates nothing.
TEST(DatabaseOpen, ProblemsAreReportedWithThePathAndCreateNothing) {
    TestDataFolder folder(false);
    const QString root = folder.root();
    QDir(root).mkpath("Empty");
    QDir(root).mkpath("Garbage");
    QFile garbage(root + "/Garbage/vivanda.db");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(folder.dbPath().toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "DROP TABLE t_densites", nullptr, nullptr, nullptr);
    sqlite3_close(raw);

    const struct { QString dir, words, path; QStringList filesAfter; } cases[] = {
        {root + "/Absent", "dossier des données", root + "/Absent", {}},
        {root + "/Empty", "introuvable", root + "/Empty/vivanda.db", {}},
        {root + "/Garbage", "n'est pas une base de données", root + "/Garbage/vivanda.db", {"vivanda.db"}},
        {folder.dataDir(), "t_densites", folder.dbPath(), {"vivanda.db"}},
    };
    for (const auto& c : cases) {
        const QString msg = openDatabase(c.dir);
        EXPECT_TRUE(msg.contains(c.words) && msg.contains(c.path)) << msg.toStdString();
        EXPECT_FALSE(msg.contains("database")) << msg.toStdString();   // never the engine's English text
        EXPECT_EQ(QDir(c.dir).entryList(QDir::Files), c.filesAfter) << c.dir.toStdString();
        EXPECT_FALSE(databaseIsOpen());
    }
    EXPECT_FALSE(QDir(root + "/Absent").exists());
    EXPECT_THROW(dbConnection(), DatabaseError);
}

// Another program's lock: a short one is waited for from the very first statement, a lasting one
// gets its own message at start (a write under it: see the day save's test).
TEST(DatabaseOpen, AnotherProgramsLockIsWaitedForThenNamed) {
    TestDataFolder folder(false);
    const QString dataDir = folder.dataDir();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder.dbPath().toUtf8().constData(), &other), SQLITE_OK);
    // A writer in rollback-journal mode: its exclusive lock keeps readers out too.
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA journal_mode = DELETE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    const QString held = openDatabase(dataDir, 100);
    EXPECT_TRUE(held.contains(QString::fromUtf8("utilisée par un autre programme")) && held.contains(folder.dbPath()))
        << held.toStdString();
    EXPECT_FALSE(databaseIsOpen());

    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    const QString waited = openDatabase(dataDir, 5000);
    release.join();
    EXPECT_EQ(waited, QString()) << waited.toStdString();
    sqlite3_close(other);
}

// Foreign keys: a food used by a recipe cannot go, and a write refused half-way leaves nothing
// behind; an inner transaction guard rolls back alone.
TEST_F(DataTest, ForeignKeyRefusalsLeaveNothingHalfWritten) {
    EXPECT_THROW(Query::execute("DELETE FROM t_aliments WHERE IdAliment = ?", {6}), DatabaseError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_aliments WHERE IdAliment = 6"), 1);
    EXPECT_EQ(Query::execute("DELETE FROM t_aliments WHERE IdAliment = ?", {12}), 1);  // unused

    try {
        Transaction t;
        Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais) VALUES (?, ?)", {3, "Tarte"});
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)", {3, 1, 200.0});
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)", {3, 999, 50.0});  // no food 999
        t.commit();
        ADD_FAILURE() << "the insert of an unknown food should be refused";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(QString(e.what()).contains("FOREIGN KEY")) << e.what();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_recettes WHERE IdRecette = 3"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_ingredients_recettes WHERE IdRecette = 3"), 0);

    {
        Transaction outer;
        Query::execute("UPDATE t_activites SET Duree = 30 WHERE IdActivite = 1");
        {
            Transaction inner;
            Query::execute("UPDATE t_activites SET Duree = 45 WHERE IdActivite = 2");
        }
        outer.commit();
    }
    EXPECT_EQ(count("SELECT Duree FROM t_activites WHERE IdActivite = 1"), 30);
    EXPECT_EQ(count("SELECT Duree FROM t_activites WHERE IdActivite = 2"), 0);
}

// FoldAccents in SQL: "creme" finds "Crème fraîche"; the upper variant matches the text helper.
TEST_F(DataTest, FoldSearchFindsAccentedNames) {
    Query q("SELECT NomAlimentFrancais FROM t_aliments WHERE FoldAccents(NomAlimentFrancais) "
            "LIKE FoldAccents(?) || '%'", {QString("creme")});
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString(0), QString("Crème fraîche"));
    EXPECT_EQ(Query::scalar("SELECT FoldAccentsUpper(?)", {QString("Crème Brûlée")}).toString(), "CREME BRULEE");
    EXPECT_EQ(Query::scalar("SELECT FoldAccents(?)", {QString("PÂTES à l'Île")}).toString(), "pates a l'ile");
    EXPECT_TRUE(Query::scalar("SELECT FoldAccents(NULL)").isNull());
}

// Each kind of failure is told in French, says what happened and that nothing was lost; the
// engine's English text never shows. A full disk is a database at its page limit. (Busy and
// read-only: see the editors' failed writes.)
TEST_F(DataTest, FailuresAreSortedIntoFrenchMessages) {
    const struct {
        const char* write;
        const char* said;
    } cases[] = {
        {"INSERT INTO t_recettes (IdRecette, Image) VALUES (900, hex(zeroblob(9000)))", "Le disque est plein"},
        {"DELETE FROM t_aliments WHERE IdAliment = 6", "a refusé l'écriture"},
        {"DELETE FROM t_absente", "n'a pu être lue ou écrite"},
    };
    Query::execute("PRAGMA max_page_count = 1");   // as far as the database already goes
    for (const auto& c : cases) {
        const QString text = failureOf([&c] { Query::execute(c.write); });
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.said)) && text.contains(QString::fromUtf8("Rien n'a été modifié")))
            << text.toStdString();
        for (const char* english : {"database", "constraint", "full", "no such"})
            EXPECT_FALSE(text.contains(QLatin1String(english), Qt::CaseInsensitive)) << text.toStdString();
    }
}
