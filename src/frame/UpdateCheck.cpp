#include "frame/UpdateCheck.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "frame/StringTable.h"
#include "frame/Umessages.h"
#include "frame/WebLinks.h"

QString UpdateSectionName(const QString& applicationName, const QString& version) {
    QString name = applicationName;
    if (name.size() >= 8) name.remove(7, 1);
    return name + version;
}

QString IniValue(const QString& iniText, const QString& section, const QString& key) {
    bool inSection = false;
    const QStringList lines = iniText.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            inSection = close > 0 && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';'))) continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1).trimmed();
    }
    return QString();
}

QDateTime ParseLocaleDateTime(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return QDateTime();
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    // A two-digit year ("yy") is read by Qt as 19xx: it is taken in this century instead.
    const int centuryShift = date.contains(QLatin1String("yyyy")) ? 0 : 100;
    const QStringList timeFormats = {QStringLiteral("HH:mm:ss"), QStringLiteral("H:mm:ss"),
                                     locale.timeFormat(QLocale::ShortFormat), QStringLiteral("H:mm")};
    QDateTime found;
    for (const QString& tf : timeFormats) {
        found = locale.toDateTime(t, date + QLatin1Char(' ') + tf);
        if (found.isValid()) break;
    }
    if (!found.isValid()) found = locale.toDate(t, date).startOfDay();
    return found.isValid() ? found.addYears(centuryShift) : QDateTime();
}

QString NewerVersionPage(const QString& iniText, const QString& section, const QDateTime& programDate,
                         const QLocale& locale) {
    const QDateTime listed = ParseLocaleDateTime(IniValue(iniText, section, QStringLiteral("DateMaj")), locale);
    if (!listed.isValid() || !programDate.isValid() || !(programDate < listed)) return QString();
    const QString page = IniValue(iniText, section, QStringLiteral("UrlMaj"));
    // Only a web page goes to the browser, never a script, a local file or another program's link.
    const QUrl url(page, QUrl::StrictMode);
    const bool web = url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
                     url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    return url.isValid() && web && !url.host().isEmpty() ? page : QString();
}

QString UpdateListAddress() { return MakerSiteAddress(QStringLiteral("maj_logiciels/Liste_logiciels.ini")); }

UpdateCheck::UpdateCheck(QObject* parent) : QObject(parent) {}

UpdateCheck::~UpdateCheck() {
    if (reply_) reply_->abort();
}

bool UpdateCheck::start(QWidget* owner, const Request& request) {
    if (started_) return false;
    started_ = true;
    owner_ = owner;
    request_ = request;
    // The previous list goes first: only a list downloaded now is read.
    QFile::remove(request.localPath);
    network_ = new QNetworkAccessManager(this);
    QNetworkRequest get(request.listAddress);
    get.setTransferTimeout(request.limitMs);
    reply_ = network_->get(get);
    // The list is taken in as it comes, a little at a time: one larger than the limit is given
    // up as soon as it passes it, however fast the server sends.
    reply_->setReadBufferSize(64 * 1024);
    list_.clear();
    // The limit holds for the whole download, also for a server that sends a byte now and then.
    QTimer::singleShot(request.limitMs, reply_, &QNetworkReply::abort);
    connect(reply_, &QNetworkReply::readyRead, this, &UpdateCheck::received);
    connect(reply_, &QNetworkReply::finished, this, &UpdateCheck::downloaded);
    return true;
}

bool UpdateCheck::received() {
    list_ += reply_->read(kUpdateListMaxBytes + 1 - list_.size());
    if (list_.size() <= kUpdateListMaxBytes) return true;
    list_.clear();
    // Over once it has finished; the end of a download still running comes with its abort.
    if (reply_->isRunning()) reply_->abort();
    return false;
}

void UpdateCheck::downloaded() {
    const bool whole = reply_->error() == QNetworkReply::NoError && received();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    const QByteArray list = std::exchange(list_, {});
    if (!whole) return finish();
    {
        QFile local(request_.localPath);
        if (!local.open(QIODevice::WriteOnly | QIODevice::Truncate) || local.write(list) != list.size())
            return finish();
    }
    QFile local(request_.localPath);
    if (!local.open(QIODevice::ReadOnly)) return finish();
    const QString url = NewerVersionPage(QString::fromUtf8(local.readAll()), request_.section, request_.programDate);
    if (url.isEmpty()) return finish();
    offer(url);
}

void UpdateCheck::offer(const QString& url) {
    if (!owner_) return finish();
    // A box already up (a module's first message) is answered first; the offer waits for it.
    if (QApplication::activeModalWidget()) {
        offerPending_ = true;
        QTimer::singleShot(250, this, [this, url] { offer(url); });
        return;
    }
    offerPending_ = false;
    const int answer = ShowMessageBox(
        QString::fromUtf8("        Une nouvelle mise à jour est disponible.\n        Voulez-vous accéder à la page "
                          "de téléchargement de cette mise à\n        jour ?"),
        QStringLiteral("Nouvelle mise à jour détectée"), 36, nullptr, false);
    if (answer == 6)
        OpenPageOrSay(url,
                      QString::fromUtf8("        Impossible de récupérer la mise à jour !\n        Vérifiez que vous êtes "
                                        "bien connecté à Internet et réessayez\n        plus tard !"),
                      QStringLiteral("Erreur de téléchargement"));
    finish();
}

void UpdateCheck::finish() {
    offerPending_ = false;
    emit finished();
}

namespace {
bool g_updateCheckEnabled = true;
}

void SetUpdateCheckEnabled(bool enabled) { g_updateCheckEnabled = enabled; }

void CheckForUpdate(QWidget* owner, const QString& section) {
    static UpdateCheck* check = nullptr;
    if (!g_updateCheckEnabled || check) return;
    check = new UpdateCheck(QCoreApplication::instance());
    const QString exe = QCoreApplication::applicationFilePath();
    UpdateCheck::Request request;
    request.listAddress = QUrl(UpdateListAddress());
    request.localPath = QDir(QFileInfo(exe).absolutePath()).filePath(QStringLiteral("Liste_logiciels.ini"));
    request.section = section;
    request.programDate = QFileInfo(exe).lastModified();
    check->start(owner, request);
}
