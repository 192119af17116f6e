#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "frame/AppState.h"
#include "frame/Settings.h"

namespace {

class SettingsFiles : public ::testing::Test {
protected:
    void SetUp() override { resetAppState(); }
    void TearDown() override { resetAppState(); }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    // Writes the file, or removes it when `bytes` is null.
    void writeFile(const char* name, const QByteArray& bytes) {
        QFile::remove(path(name));
        if (bytes.isNull()) return;
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const char* name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The settings as they would be written, in file order, then the start-up module.
    static std::vector<int> settings() {
        const AppState& st = appState();
        return {st.SwitchReserved, st.SwitchRecipeInfo, st.SwitchConsumptionInfo,
                st.SwitchCaloriesAboveObjective, st.SwitchCarbsBelowMinimum, st.SwitchObjectiveBelowNeeds,
                st.StartupModule};
    }

    QTemporaryDir dir_;
};

QByteArray bytes(const char* data, int size) { return QByteArray(data, size); }

}  // namespace

TEST_F(SettingsFiles, MissingEmptyShortAndLongOptionsFiles) {
    // Read in this order: no value survives from the previous file.
    const struct {
        QByteArray file;
        std::vector<int> expected;
    } cases[] = {
        {QByteArray(), {1, 1, 1, 1, 1, 1, 1}},  // missing: every message, recipe search at start
        {QByteArray(""), {0, 0, 0, 0, 0, 0, 0}},
        // Short: the fields it reaches, then zeros; a partial module fills only its low bytes.
        {bytes("\x01\x00\x07", 3), {1, 0, 7, 0, 0, 0, 0}},
        {bytes("\x00\x01\x01\x01\x01\x01\x05\x01", 8), {0, 1, 1, 1, 1, 1, 0x0105}},
        // Longer than ten bytes: only ten count; the module is little-endian and signed.
        {bytes("\x09\x01\x00\x01\x00\x01\xFE\xFF\xFF\xFF\x33\x44\x55", 13), {9, 1, 0, 1, 0, 1, -2}},
    };
    for (const auto& c : cases) {
        writeFile("Options.dat", c.file);
        ReadOptionsFile(dir_.path());
        EXPECT_EQ(settings(), c.expected) << c.file.toHex().constData();
    }
    // A folder named Options.dat cannot be opened as a file: defaults.
    writeFile("Options.dat", QByteArray());
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Options.dat"));
    ReadOptionsFile(dir_.path());
    EXPECT_EQ(settings(), std::vector<int>(7, 1));
}

// A named pipe holding a settings file's name reads as a missing file instead of blocking the start.
TEST_F(SettingsFiles, NamedPipesCountAsMissingFiles) {
    for (const char* name : {"Options.dat", "Langue.dat"})
        ASSERT_EQ(mkfifo(path(name).toLocal8Bit().constData(), 0600), 0) << name;
    appState().LanguageCode = 400;
    ReadOptionsFile(dir_.path());
    ReadLanguageFile(dir_.path());
    EXPECT_EQ(settings(), std::vector<int>(7, 1));
    EXPECT_EQ(appState().LanguageCode, 0);
}

TEST_F(SettingsFiles, AnyBytesLoadAndRoundTrip) {
    QRandomGenerator rng(20261206);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(static_cast<int>(rng.bounded(24)), '\0');
        for (char& c : bytes) c = static_cast<char>(rng.bounded(256));
        DecodeOptions(bytes);
        // What was read comes back byte for byte; what was not reached comes back as 0.
        EXPECT_EQ(EncodeOptions(), (bytes.left(10) + QByteArray(10, '\0')).left(10)) << "round " << round;
    }
}

TEST_F(SettingsFiles, WrittenOnlyWhenDirtyAndNeverIntoAMissingFolder) {
    const QByteArray stored = bytes("\x07\x01\x01\x01\x01\x01\x03\x00\x00\x00", 10);
    writeFile("Options.dat", stored);
    ReadOptionsFile(dir_.path());
    appState().SwitchRecipeInfo = 0;  // changed in memory but not marked dirty
    EXPECT_FALSE(WriteOptionsFile(dir_.path()));
    EXPECT_EQ(readFile("Options.dat"), stored);

    appState().OptionsDirty = 1;
    EXPECT_FALSE(WriteOptionsFile(dir_.filePath("no/such/folder")));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("no/such/folder/Options.dat")));
}

TEST_F(SettingsFiles, LanguageFile) {
    appState().LanguageCode = 400;
    // Read in this order: a short file replaces only the low bytes it holds.
    const std::pair<QByteArray, int> cases[] = {
        {QByteArray(), 0},  // missing: French
        {bytes("\xC8\x00\x00\x00", 4), 200},
        {bytes("\x20\x03\x00\x00\xFF\xFF", 6), 800},  // only the first four bytes count
        {bytes("\x90", 1), 0x390},                     // 800 = 0x320 -> 0x390
        {QByteArray(""), 0x390},
    };
    for (const auto& [file, code] : cases) {
        writeFile("Langue.dat", file);
        ReadLanguageFile(dir_.path());
        EXPECT_EQ(appState().LanguageCode, code) << file.toHex().constData();
    }
    // Never written by the program.
    appState().OptionsDirty = 1;
    WriteOptionsFile(dir_.path());
    EXPECT_EQ(readFile("Langue.dat"), QByteArray());
}
