#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "frame/UpdateCheck.h"
#include "platform/WebPage.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"

namespace {

// A web server on the loopback that serves the update list: as a whole, never, or one byte at
// a time.
class ListServer : public QTcpServer {
public:
    enum Mode { Answer, Silent, Trickle };
    explicit ListServer(Mode mode, QByteArray body = {}, QByteArray status = "200 OK")
        : mode_(mode), body_(std::move(body)), status_(std::move(status)) {
        listen(QHostAddress::LocalHost);
    }
    QUrl address() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/maj_logiciels/Liste_logiciels.ini").arg(serverPort()));
    }
    int requests = 0;
    qint64 sent = 0;   // bytes the client took

protected:
    void incomingConnection(qintptr handle) override {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            request_ += socket->readAll();
            if (!request_.contains("\r\n\r\n")) return;
            ++requests;
            request_.clear();
            const QByteArray head = "HTTP/1.1 " + status_ + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                                    QByteArray::number(mode_ == Trickle ? 1000 : body_.size()) + "\r\n\r\n";
            connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 n) { sent += n; });
            if (mode_ == Answer) socket->write(head + body_);
            if (mode_ == Trickle) {
                socket->write(head);
                auto* drip = new QTimer(socket);
                connect(drip, &QTimer::timeout, socket, [socket] { socket->write("x"); });
                drip->start(50);
            }
        });
    }

private:
    Mode mode_;
    QByteArray body_;
    QByteArray status_;
    QByteArray request_;
};

const QDateTime kProgramDate(QDate(2026, 3, 15), QTime(10, 30));
const QByteArray kPage = "https://www.vivanda.example/telechargement/Vivanda-2.0.6.html";

QByteArray List(const QByteArray& section, const QByteArray& date, const QByteArray& page = kPage) {
    return "[AutreLogiciel1.0]\r\nDateMaj=01/01/2030 00:00:00\r\nUrlMaj=https://ailleurs.example/\r\n\r\n[" +
           section + "]\r\nDateMaj=" + date + "\r\nUrlMaj=" + page + "\r\n";
}

class UpdateCheckTest : public ModalTest {
protected:
    void SetUp() override {
        ModalTest::SetUp();
        SetWebPageOpener([this](const QString& url) {
            opened << url;
            return browserWorks;
        });
    }
    void TearDown() override {
        SetWebPageOpener({});
        ModalTest::TearDown();
    }
    // Runs one check against the server and waits for its end; returns how long it took.
    qint64 run(ListServer& server, int limitMs = kUpdateCheckLimitMs) {
        UpdateCheck check;
        QSignalSpy done(&check, &UpdateCheck::finished);
        UpdateCheck::Request request{server.address(), dir.filePath("Liste_logiciels.ini"),
                                     QStringLiteral("Vivanda2.0"), kProgramDate, limitMs};
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(check.start(&owner, request));
        EXPECT_FALSE(check.start(&owner, request));  // one check per run
        EXPECT_TRUE(done.wait(limitMs + 5000));
        return clock.elapsed();
    }
    FrenchLocaleGuard french;
    QTemporaryDir dir;
    QWidget owner;
    QStringList opened;
    bool browserWorks = true;
    MessageLog log;
};

}  // namespace

TEST(UpdateSection, NameLosesItsEighthCharacterThenTakesTheVersion) {
    EXPECT_EQ(UpdateSectionName("Vivanda", "2.0"), "Vivanda2.0");   // seven characters: nothing removed
    EXPECT_EQ(UpdateSectionName("Vivanda+", "2.0"), "Vivanda2.0");
    EXPECT_EQ(UpdateSectionName("Calories Pro", "1.5"), "Calorie Pro1.5");
}

TEST(UpdateSection, ListDatesAreReadInTheUsersFormat) {
    // Dates with or without their time: see the checks below.
    EXPECT_FALSE(ParseLocaleDateTime(QString::fromUtf8("bientôt"), QLocale(QLocale::French)).isValid());
    // Two-digit years of a short format are this century's.
    EXPECT_EQ(ParseLocaleDateTime("3/15/26", QLocale(QLocale::English, QLocale::UnitedStates)).date(),
              QDate(2026, 3, 15));
    // Sections and keys are found whatever their case; the wrong section's keys are not read.
    EXPECT_EQ(IniValue("[vivanda2.0]\n dateMAJ = 1/2/2026 \n[Autre]\nUrlMaj=x", "Vivanda2.0", "DateMaj"), "1/2/2026");
    EXPECT_EQ(IniValue("[Autre]\nUrlMaj=x\n[Vivanda2.0]\nDateMaj=1", "Vivanda2.0", "UrlMaj"), "");
}

TEST_F(UpdateCheckTest, ANewerListedDateOffersTheDownloadPageAndNothingElseDoes) {
    const struct {
        QByteArray list;
        QByteArray status;
        const char* answer;   // nullptr: no question expected
        bool browserWorks;
    } cases[] = {
        {List("Vivanda2.0", "15/03/2026 10:31:00"), "200 OK", "BtnOui", true},
        {List("Vivanda2.0", "16/03/2026"), "200 OK", "BtnNon", true},
        {List("Vivanda2.0", "15/03/2026 10:31:00"), "200 OK", "BtnOui", false},
        {List("Vivanda2.0", "15/03/2026 10:30:00"), "200 OK", nullptr, true},   // equal
        {List("Vivanda2.0", "01/02/2026 09:00:00"), "200 OK", nullptr, true},   // older
        {List("Vivanda2.0", ""), "200 OK", nullptr, true},
        {List("Vivanda1.0", "01/01/2030 00:00:00"), "200 OK", nullptr, true},  // not this version
        {List("Vivanda2.0", "01/01/2030"), "404 Not Found", nullptr, true},
        // Only a web page goes to the browser.
        {List("Vivanda2.0", "01/01/2030", "javascript:alert(1)"), "200 OK", nullptr, true},
        {List("Vivanda2.0", "01/01/2030", "file:///etc/passwd"), "200 OK", nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list.toStdString());
        opened.clear();
        log = MessageLog();
        browserWorks = c.browserWorks;
        QFile old(dir.filePath("Liste_logiciels.ini"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("[Vivanda2.0]\nDateMaj=01/01/2099\nUrlMaj=https://vieille-liste.example/\n");
        old.close();
        if (c.answer) AnswerNextMessage(log, c.answer);
        if (c.answer && std::string(c.answer) == "BtnOui" && !c.browserWorks) AnswerNextMessage(log);
        ListServer server(ListServer::Answer, c.list, c.status);
        run(server);
        ExpectModalScriptDone();
        const bool offered = c.answer != nullptr;
        const bool accepted = offered && std::string(c.answer) == "BtnOui";
        ASSERT_EQ(log.count(), offered ? (accepted && !c.browserWorks ? 2 : 1) : 0);
        if (offered) {
            EXPECT_EQ(log.captions[0], QString::fromUtf8("Nouvelle mise à jour détectée"));
            EXPECT_EQ(log.icons[0], "QUESTION");
        }
        EXPECT_EQ(opened, accepted ? QStringList{QString::fromLatin1(kPage)} : QStringList());
        if (log.count() == 2) {
            EXPECT_EQ(log.captions[1], QString::fromUtf8("Erreur de téléchargement"));
            EXPECT_EQ(log.icons[1], "EXLAMATION");
            EXPECT_TRUE(log.texts[1].contains(QString::fromUtf8("Impossible de récupérer la mise à jour !")));
        }
        // The list downloaded now replaces the previous one, which is never read again.
        QFile local(dir.filePath("Liste_logiciels.ini"));
        if (c.status.startsWith("200")) {
            ASSERT_TRUE(local.open(QIODevice::ReadOnly));
            EXPECT_EQ(local.readAll(), c.list);
        } else {
            EXPECT_FALSE(local.exists());
        }
        EXPECT_EQ(server.requests, 1);
    }
}

TEST_F(UpdateCheckTest, AServerThatKeepsTheListBackIsGivenUpWithinTheLimit) {
    for (ListServer::Mode mode : {ListServer::Silent, ListServer::Trickle}) {
        ListServer server(mode);
        const qint64 took = run(server, 600);
        EXPECT_GE(took, 500) << mode;
        EXPECT_LT(took, 2500) << mode;
        EXPECT_EQ(log.count(), 0);
        EXPECT_TRUE(opened.isEmpty());
    }
    // Nobody listening: over at once, silently.
    ListServer closed(ListServer::Answer);
    const QUrl nowhere = closed.address();
    closed.close();
    UpdateCheck check;
    QSignalSpy done(&check, &UpdateCheck::finished);
    check.start(&owner, {nowhere, dir.filePath("Liste_logiciels.ini"), "Vivanda2.0", kProgramDate});
    EXPECT_TRUE(done.wait(kUpdateCheckLimitMs + 1000));
    EXPECT_EQ(log.count(), 0);
}

TEST_F(UpdateCheckTest, AListPastTheLimitIsNotReadToItsEndNorStored) {
    // A newer version would be offered, but for the 20 MB of comment after it.
    const QByteArray list = List("Vivanda2.0", "01/01/2030") + QByteArray(20 << 20, ';');
    ListServer server(ListServer::Answer, list);
    run(server);
    EXPECT_EQ(log.count(), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("Liste_logiciels.ini")));
    // The download stopped soon after the limit: most of the list never left the server.
    EXPECT_LT(server.sent, list.size() / 2);
}

TEST_F(UpdateCheckTest, AListOfTheLimitIsReadAndOneByteMoreIsNeitherReadNorStored) {
    const QByteArray head = List("Vivanda2.0", "01/01/2030");
    for (const qint64 size : {kUpdateListMaxBytes, kUpdateListMaxBytes + 1}) {
        SCOPED_TRACE(size);
        log = MessageLog();
        opened.clear();
        QFile::remove(dir.filePath("Liste_logiciels.ini"));
        const bool within = size <= kUpdateListMaxBytes;
        if (within) AnswerNextMessage(log, "BtnOui");
        ListServer server(ListServer::Answer, head + QByteArray(size - head.size(), ';'));
        run(server);
        ExpectModalScriptDone();
        EXPECT_EQ(log.count(), within ? 1 : 0);
        EXPECT_EQ(opened.size(), within ? 1 : 0);
        EXPECT_EQ(QFile::exists(dir.filePath("Liste_logiciels.ini")), within);
    }
}
