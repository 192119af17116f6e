#pragma once
// The check for a newer version: the maker's update list (an ini file, one section per product
// and version, keys DateMaj and UrlMaj) is downloaded beside the executable; when it dates this
// program's version later than the executable file, the user is offered its download page.
//
// The check runs at most once per run, in the background, and gives up after a few seconds: the
// windows never wait for the network, and without a connection nothing is shown.
#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QWidget;

// The list's section of a program: its name without the eighth character (a shorter name stays
// whole), followed directly by its version. "Vivanda", "2.0" gives "Vivanda2.0".
QString UpdateSectionName(const QString& applicationName, const QString& version);

// Value of `key` in `section` of an ini text (names compared without regard to case, blanks
// around names and values dropped); empty when either is absent.
QString IniValue(const QString& iniText, const QString& section, const QString& key);

// A date and time written in the locale's short format (with or without seconds, or a date
// alone); invalid when the text is none of these.
QDateTime ParseLocaleDateTime(const QString& text, const QLocale& locale = QLocale());

// The download page to offer for a list: its UrlMaj when the section's DateMaj is later than
// `programDate` and the address is an http or https page, else empty (no section, an empty or
// unreadable date, an older or equal date, any other kind of address).
QString NewerVersionPage(const QString& iniText, const QString& section, const QDateTime& programDate,
                         const QLocale& locale = QLocale());

// The update list on the maker's site.
QString UpdateListAddress();

// The longest the check waits for the list, download included.
constexpr int kUpdateCheckLimitMs = 3000;
// A list larger than this is no update list: the download is given up.
constexpr qint64 kUpdateListMaxBytes = 1 << 20;

// One check. start() may run once; later calls do nothing. finished() is emitted when the check
// is over, whatever the outcome (after the user's answer when a new version was offered).
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    struct Request {
        QUrl listAddress;
        QString localPath;       // where the list is written ("Liste_logiciels.ini")
        QString section;
        QDateTime programDate;   // last write of the program file
        int limitMs = kUpdateCheckLimitMs;
    };

    explicit UpdateCheck(QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Starts the download; false when this check already ran.
    bool start(QWidget* owner, const Request& request);
    bool running() const { return reply_ != nullptr || offerPending_; }

signals:
    void finished();

private:
    // Takes in what arrived; false (and the download given up) once the list passes the limit.
    bool received();
    void downloaded();
    void offer(const QString& url);
    void finish();

    QNetworkAccessManager* network_ = nullptr;
    QNetworkReply* reply_ = nullptr;
    QByteArray list_;   // the part of the list received so far
    QPointer<QWidget> owner_;
    Request request_;
    bool started_ = false;
    bool offerPending_ = false;
};

// The frame's check at activation, with the frame as owner: starts this run's one check of the
// maker's list; every later call does nothing.
void CheckForUpdate(QWidget* owner, const QString& section);

// Turns the frame's check on or off for the whole run (tests keep it off).
void SetUpdateCheckEnabled(bool enabled);
