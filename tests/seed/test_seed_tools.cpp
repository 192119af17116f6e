// The seed checks read numbers strictly, and the seed is what the data tools make of the sources.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <string>
#include <utility>

#include "seed/SeedDb.h"

namespace {

// A negative value is read as it stands; a text that is not wholly a number, or none, fails the
// check that reads it instead of counting 0.
TEST(SeedChecks, NumbersReadAsTheyStandAndAnUnreadableOneFails) {
    EXPECT_EQ(seedtest::number("-0.25", "v"), -0.25);
    EXPECT_EQ(seedtest::number(seedtest::Row{{"g", "-12"}}, "g"), -12);
    EXPECT_EQ(seedtest::number(seedtest::Row{{"g", ""}}, "g", 7), 7);
    for (const char* text : {"", "-", "1,5", "2 g", "x", "nan", "inf"}) {
        SCOPED_TRACE(text);
        EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(std::isnan(seedtest::number(text, "v"))), "is not a number");
    }
    EXPECT_NONFATAL_FAILURE(seedtest::number(seedtest::Row{{"g", "-"}}, "g", 7), "is not a number");
    EXPECT_NONFATAL_FAILURE(seedtest::number(seedtest::Row{}, "g"), "no column g");
    seedtest::SeedDb db;
    EXPECT_EQ(db.scalar("SELECT -1.5"), -1.5);
    EXPECT_NONFATAL_FAILURE(db.scalar("SELECT NULL"), "is not a number");
    EXPECT_NONFATAL_FAILURE(db.scalar("SELECT 1 WHERE 0"), "no value");
}

// Runs a check (a Python script under the source tree); its exit code and what it said.
std::pair<int, std::string> runCheck(const QString& script, const QStringList& arguments = {}) {
    QProcess check;
    check.start(QStringLiteral("python3"), QStringList{QStringLiteral(VIVANDA_SOURCE_DIR "/") + script} + arguments);
    if (!check.waitForFinished(300000) || check.exitStatus() != QProcess::NormalExit)
        return {-1, script.toStdString() + " did not run: " + check.errorString().toStdString()};
    return {check.exitCode(), (check.readAllStandardOutput() + check.readAllStandardError()).toStdString()};
}

// db/tools/check_seed.py regenerates the seed in a copy with the commands of db/README.md and
// compares it with the repository's, checks the pinned sources, and, where the full public tables
// lie beside the repository (../shared/data, as on the integration machine; VIVANDA_SHARED_DATA
// names another place), that the extracts are their rows.
TEST(SeedChecks, TheSeedIsWhatTheToolsMakeOfThePublicSources) {
    const QString full = qEnvironmentVariable("VIVANDA_SHARED_DATA", QStringLiteral(VIVANDA_SOURCE_DIR "/../shared/data"));
    const auto [code, said] = runCheck(QStringLiteral("db/tools/check_seed.py"), {QStringLiteral("--full"), full});
    EXPECT_EQ(code, 0) << said;
    if (QFileInfo::exists(full + QStringLiteral("/ciqual-2020/ciqual.tsv")))
        EXPECT_NE(said.find("the extracts are the rows of the full tables"), std::string::npos) << said;
}

// The tools stop on the slips their rules forbid and accept the edges they allow
// (tests/seed/check_refusals.py: one edit of a source in a copy per case), and the checks of the
// data catch a seed, a pinned source or an extract edited by hand.
TEST(SeedChecks, TheToolsRefuseTheSlipsTheirRulesForbid) {
    const auto [code, said] = runCheck(QStringLiteral("tests/seed/check_refusals.py"));
    EXPECT_EQ(code, 0) << said;
}

}  // namespace
