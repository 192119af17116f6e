#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "frame/Settings.h"

namespace {

class SettingsFiles : public ::testing::Test {
protected:
    void SetUp() override { resetAppState(); }
    void TearDown() override { resetAppState(); }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    void writeFile(const char* name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readFile(const char* name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The settings as they would be written, in file order.
    static std::vector<int> switches() {
        const AppState& st = appState();
        return {st.SwitchReserved, st.SwitchRecipeInfo, st.SwitchConsumptionInfo,
                st.SwitchCaloriesAboveObjective, st.SwitchCarbsBelowMinimum, st.SwitchObjectiveBelowNeeds};
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(SettingsFiles, MissingEmptyShortAndLongOptionsFiles) {
    // Missing: every message shown, recipe search at start.
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(switches(), std::vector<int>(6, 1));
    EXPECT_EQ(appState().StartupModule, 1);

    // Empty: everything off, no start-up module (earlier values do not survive).
    writeFile("Options.dat", QByteArray());
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(switches(), std::vector<int>(6, 0));
    EXPECT_EQ(appState().StartupModule, 0);

    // Short: the fields it reaches, then zeros; a partial module fills only its low bytes.
    writeFile("Options.dat", QByteArray("\x01\x00\x07", 3));
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(switches(), (std::vector<int>{1, 0, 7, 0, 0, 0}));
    EXPECT_EQ(appState().StartupModule, 0);
    writeFile("Options.dat", QByteArray("\x00\x01\x01\x01\x01\x01\x05\x01", 8));
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(appState().StartupModule, 0x0105);

    // Longer than ten bytes: only the first ten count; the module is little-endian and signed.
    writeFile("Options.dat", QByteArray("\x09\x01\x00\x01\x00\x01\xFE\xFF\xFF\xFF\x33\x44\x55", 13));
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(switches(), (std::vector<int>{9, 1, 0, 1, 0, 1}));
    EXPECT_EQ(appState().StartupModule, -2);

    // A folder named Options.dat cannot be opened as a file: defaults.
    ASSERT_TRUE(QFile::remove(path("Options.dat")));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Options.dat"));
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(switches(), std::vector<int>(6, 1));
}

TEST_F(SettingsFiles, AnyBytesLoadAndRoundTrip) {
    QRandomGenerator rng(20261206);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(static_cast<int>(rng.bounded(24)), '\0');
        for (char& c : bytes) c = static_cast<char>(rng.bounded(256));
        DecodeOptions(bytes);
        const QByteArray written = EncodeOptions();
        ASSERT_EQ(written.size(), 10);
        // What was read comes back byte for byte; what was not reached comes back as 0.
        const QByteArray expected = (bytes.left(10) + QByteArray(10, '\0')).left(10);
        EXPECT_EQ(written, expected) << "round " << round;
    }
}

TEST_F(SettingsFiles, WrittenOnlyWhenDirty) {
    writeFile("Options.dat", QByteArray("\x07\x01\x01\x01\x01\x01\x03\x00\x00\x00", 10));
    ReadOptionsFile(dir_.path());
    appState().SwitchRecipeInfo = 0;  // changed in memory but not marked dirty
    EXPECT_FALSE(WriteOptionsFile(dir_.path()));
    EXPECT_EQ(readFile("Options.dat"), QByteArray("\x07\x01\x01\x01\x01\x01\x03\x00\x00\x00", 10));

    // A change through the options: byte 0 is written as the reserved switch, now 0.
    appState().SwitchReserved = 0;
    appState().OptionsDirty = 1;
    EXPECT_TRUE(WriteOptionsFile(dir_.path()));
    EXPECT_EQ(readFile("Options.dat"), QByteArray("\x00\x00\x01\x01\x01\x01\x03\x00\x00\x00", 10));

    // Read back gives what was written.
    resetAppState();
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(switches(), (std::vector<int>{0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(appState().StartupModule, 3);
}

TEST_F(SettingsFiles, UnwritableFolderSkipsTheWriteSilently) {
    appState().OptionsDirty = 1;
    EXPECT_FALSE(WriteOptionsFile(dir_.filePath("no/such/folder")));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("no/such/folder/Options.dat")));
}

TEST_F(SettingsFiles, LanguageFile) {
    appState().LanguageCode = 400;
    ReadLanguageFile(dir_.path());  // missing: French
    EXPECT_EQ(appState().LanguageCode, 0);

    writeFile("Langue.dat", QByteArray("\xC8\x00\x00\x00", 4));
    ReadLanguageFile(dir_.path());
    EXPECT_EQ(appState().LanguageCode, 200);

    // Only the first four bytes count.
    writeFile("Langue.dat", QByteArray("\x20\x03\x00\x00\xFF\xFF", 6));
    ReadLanguageFile(dir_.path());
    EXPECT_EQ(appState().LanguageCode, 800);

    // A short file replaces only the low bytes it holds: 800 = 0x320 -> 0x390 = 912.
    writeFile("Langue.dat", QByteArray("\x90", 1));
    ReadLanguageFile(dir_.path());
    EXPECT_EQ(appState().LanguageCode, 0x390);
    writeFile("Langue.dat", QByteArray());
    ReadLanguageFile(dir_.path());
    EXPECT_EQ(appState().LanguageCode, 0x390);

    // Never written by the program.
    appState().OptionsDirty = 1;
    WriteOptionsFile(dir_.path());
    EXPECT_EQ(readFile("Langue.dat"), QByteArray());
}
