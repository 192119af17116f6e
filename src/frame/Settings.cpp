#include "frame/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <array>

#include "frame/AppState.h"

namespace {

constexpr int kOptionsSize = 10;
constexpr int kLanguageSize = 4;

QString settingsPath(const QString& folder, const char* name) {
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    return dir.filePath(QString::fromLatin1(name));
}

// The six switch bytes in file order.
std::array<uint8_t*, 6> switchBytes() {
    AppState& st = appState();
    return {&st.SwitchReserved,          &st.SwitchRecipeInfo,        &st.SwitchConsumptionInfo,
            &st.SwitchCaloriesAboveObjective, &st.SwitchCarbsBelowMinimum, &st.SwitchObjectiveBelowNeeds};
}

// Replaces the low `count` bytes of `value` (little-endian) with `bytes`, keeping the others.
int32_t withLowBytes(int32_t value, const char* bytes, int count) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < count; ++i) {
        v &= ~(0xFFu << (8 * i));
        v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    }
    return static_cast<int32_t>(v);
}

// Reads at most `max` bytes of a file; false when it cannot be opened. Only a regular file is
// read: opening a named pipe or a device of that name would wait for a writer forever.
bool readHead(const QString& path, int max, QByteArray* out) {
    if (!QFileInfo(path).isFile()) return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    *out = f.read(max);
    return true;
}

}  // namespace

void DecodeOptions(const QByteArray& bytes) {
    AppState& st = appState();
    const auto switches = switchBytes();
    const int n = static_cast<int>(std::min<qsizetype>(bytes.size(), kOptionsSize));
    for (int i = 0; i < 6; ++i) *switches[i] = i < n ? static_cast<uint8_t>(bytes[i]) : 0;
    st.StartupModule = withLowBytes(0, bytes.constData() + std::min(n, 6), std::max(n - 6, 0));
}

QByteArray EncodeOptions() {
    QByteArray bytes(kOptionsSize, '\0');
    const auto switches = switchBytes();
    for (int i = 0; i < 6; ++i) bytes[i] = static_cast<char>(*switches[i]);
    const uint32_t module = static_cast<uint32_t>(appState().StartupModule);
    for (int i = 0; i < 4; ++i) bytes[6 + i] = static_cast<char>((module >> (8 * i)) & 0xFF);
    return bytes;
}

void ReadOptionsFile(const QString& folder) {
    QByteArray bytes;
    if (readHead(settingsPath(folder, "Options.dat"), kOptionsSize, &bytes)) {
        DecodeOptions(bytes);
        return;
    }
    for (uint8_t* b : switchBytes()) *b = 1;
    appState().StartupModule = 1;
}

bool WriteOptionsFile(const QString& folder) {
    if (appState().OptionsDirty == 0) return false;
    // Written beside the old file and put in its place only when complete, so a failed write
    // never leaves a truncated file behind.
    QSaveFile f(settingsPath(folder, "Options.dat"));
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = EncodeOptions();
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

void ReadLanguageFile(const QString& folder) {
    AppState& st = appState();
    QByteArray bytes;
    if (!readHead(settingsPath(folder, "Langue.dat"), kLanguageSize, &bytes)) {
        st.LanguageCode = 0;
        return;
    }
    st.LanguageCode = withLowBytes(st.LanguageCode, bytes.constData(), static_cast<int>(bytes.size()));
}
