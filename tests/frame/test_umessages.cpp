#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <stdexcept>

#include "frame/AppState.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"

namespace {
// Fixed metrics for the layout tests: 13-pixel lines, 6-pixel characters, so 70 characters a line.
constexpr int kH = 13;
constexpr int kW = 6;

QString words(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i) list << QStringLiteral("mot%1").arg(i % 10) + QString(i % 4, 'x');
    return QStringLiteral("        ") + list.join(QLatin1Char(' '));
}
}  // namespace

TEST(MessageLayout, NextSegmentLength) {
    EXPECT_EQ(NextSegmentLength("abc\ndef", 1, 10), 4);  // through the line feed
    EXPECT_EQ(NextSegmentLength("abc\ndef", 5, 10), 4);  // one more than the characters left
    EXPECT_EQ(NextSegmentLength("abcdef", 1, 3), 3);
    EXPECT_EQ(NextSegmentLength("abcdef", 9, 3), 1);     // past the end
    EXPECT_EQ(NextSegmentLength("abcdef", 1, 0), 0);
}

TEST(MessageLayout, OneShortLineGivesANarrowBox) {
    const QString text = QStringLiteral("        Voulez-vous continuer ?");  // 31 characters
    const MessageLayout m = LayoutMessage(text, false, kH, kW);
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.panelWidth, 31 * kW);
    EXPECT_EQ(m.formWidth, 31 * kW + 28);
    EXPECT_EQ(m.btnNonLeft, 31 * kW + 10 - 73);         // right-aligned under the panel
    EXPECT_EQ(m.btnOkLeft, 31 * kW / 2 + 10 - 73 / 2);  // centred
    EXPECT_EQ(m.labelTop, 10);
    EXPECT_EQ(m.clientHeight, 128 - kMessageFrameHeight);
    EXPECT_EQ(m.buttonsTop, 12 + 39 + 8);

    // The check box offered: 22 pixels more, buttons 22 lower, check box under the panel.
    const MessageLayout c = LayoutMessage(text, true, kH, kW);
    EXPECT_EQ(c.clientHeight, m.clientHeight + 22);
    EXPECT_EQ(c.buttonsTop, m.buttonsTop + 22);
    EXPECT_EQ(c.checkTop, 12 + 39 + 6);
}

TEST(MessageLayout, ExistingLineFeedsAreKept) {
    const QString two = QStringLiteral("        Ligne un\n        Ligne deux");
    const MessageLayout m = LayoutMessage(two, false, kH, kW);
    EXPECT_EQ(m.text, two);  // nothing added where a segment already ends at a line feed
    EXPECT_EQ(m.lines, 2);
    EXPECT_EQ(m.formWidth, 450);
    EXPECT_EQ(m.panelHeight, 39);  // 2 x 13 + 10 = 36 < 39
    EXPECT_EQ(m.clientHeight, 39 + 56);

    const QString four = QStringLiteral("        a\n        b\n        c\n        d");
    const MessageLayout f = LayoutMessage(four, true, kH, kW);
    EXPECT_EQ(f.panelHeight, 4 * kH + 10);
    EXPECT_EQ(f.clientHeight, 4 * kH + 10 + 22 + 56);
    EXPECT_EQ(f.checkTop, 12 + f.panelHeight + 5);
    EXPECT_EQ(f.buttonsTop, 12 + f.panelHeight + 22 + 7);

    // Small line height: two lines still fit the design height.
    const MessageLayout s = LayoutMessage(two, false, 10, kW);
    EXPECT_EQ(s.clientHeight, 128 - kMessageFrameHeight);
    EXPECT_EQ(s.buttonsTop, 12 + 39 + 8);
}

TEST(MessageLayout, LongLineBreaksAfterTheLastBlank) {
    const QString text = words(60);
    const MessageLayout m = LayoutMessage(text, false, kH, kW);
    QStringList lines = m.text.split(QLatin1Char('\n'));
    EXPECT_EQ(m.lines, lines.size());
    EXPECT_GT(m.lines, 3);
    QString joined;
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 70 + 2) << i;
        if (i + 1 < lines.size()) EXPECT_TRUE(lines[i].endsWith(QLatin1Char(' '))) << i;
        joined += lines[i];
    }
    EXPECT_EQ(joined, text);  // only line feeds were added, each after a blank
    EXPECT_EQ(m.panelHeight, m.lines * kH + 10);

    // A single line longer than N becomes two lines at the short height when they fit.
    const MessageLayout two = LayoutMessage(words(14), false, 10, kW);
    EXPECT_EQ(two.lines, 2);
    EXPECT_EQ(two.clientHeight, 128 - kMessageFrameHeight);
}

TEST(MessageLayout, RunWithoutBlanksIsCutAtTheLineWidth) {
    const QString text(200, QLatin1Char('x'));
    const MessageLayout m = LayoutMessage(text, false, kH, kW);
    const QStringList lines = m.text.split(QLatin1Char('\n'));
    EXPECT_EQ(lines.join(QString()), text);
    EXPECT_EQ(lines.first().size(), 70);
    for (const QString& line : lines) EXPECT_LE(line.size(), 72);
    // Degenerate metrics neither divide by zero nor loop.
    EXPECT_EQ(LayoutMessage(text, false, kH, 0).lineChars, 422);
    const MessageLayout wide = LayoutMessage(QStringLiteral("ab cd\nef"), false, kH, 500);
    EXPECT_EQ(wide.lineChars, 1);
    EXPECT_EQ(QString(wide.text).remove(QLatin1Char('\n')), QStringLiteral("ab cdef"));
}

namespace {
class MessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        modal::clearHandlers();
    }
    void TearDown() override {
        EXPECT_EQ(modal::unexpectedShows(), 0);
        EXPECT_EQ(modal::pendingHandlers(), 0);
        modal::clearHandlers();
        resetAppState();
    }
    template <typename T>
    static T* part(modal::Call& c, const char* name) {
        return c.dialog->findChild<T*>(QString::fromLatin1(name));
    }
};
}  // namespace

TEST_F(MessageBox, AnswersAndTheSwitch) {
    uint8_t alert = 1;
    // "Oui" leaves the switch alone.
    modal::pushHandler([](modal::Call& c) {
        EXPECT_EQ(c.caption, QStringLiteral("Confirmation"));
        EXPECT_TRUE(part<QPushButton>(c, "BtnOui")->isVisible());
        EXPECT_TRUE(part<QPushButton>(c, "BtnNon")->isVisible());
        EXPECT_FALSE(part<QPushButton>(c, "BtnOk")->isVisible());
        EXPECT_FALSE(part<QCheckBox>(c, "ChbAfficheAlerte")->isVisible());
        EXPECT_EQ(part<QLabel>(c, "LblMessage")->text(), QStringLiteral("        Supprimer l'aliment ?"));
        EXPECT_FALSE(part<QLabel>(c, "ImageSymbole")->pixmap().isNull());
        part<QPushButton>(c, "BtnOui")->click();
    });
    EXPECT_EQ(ShowMessageBox("        Supprimer l'aliment ?", "Confirmation", 36, &alert, false), 6);
    ASSERT_NE(FMessage, nullptr);
    EXPECT_FALSE(FMessage->isVisible());
    EXPECT_EQ(alert, 1);
    EXPECT_EQ(appState().OptionsDirty, 0);

    // Ticking "Ne plus afficher ce message" turns the alert off and marks the options dirty.
    modal::pushHandler([](modal::Call& c) {
        auto* check = part<QCheckBox>(c, "ChbAfficheAlerte");
        EXPECT_TRUE(check->isVisible());
        EXPECT_FALSE(check->isChecked());
        EXPECT_TRUE(part<QPushButton>(c, "BtnOk")->isVisible());
        check->click();
        part<QPushButton>(c, "BtnOk")->click();
    });
    EXPECT_EQ(ShowMessageBox("        Trop de calories.", "Alerte", 48, &alert, true), 1);
    EXPECT_EQ(alert, 0);
    EXPECT_EQ(appState().OptionsDirty, 1);

    // The next box starts from its own switch, not from the previous tick; ticking and
    // unticking again changes nothing.
    appState().OptionsDirty = 0;
    uint8_t other = 1;
    modal::pushHandler([](modal::Call& c) {
        auto* check = part<QCheckBox>(c, "ChbAfficheAlerte");
        EXPECT_FALSE(check->isChecked());
        check->click();
        check->click();
        part<QPushButton>(c, "BtnNon")->click();
    });
    EXPECT_EQ(ShowMessageBox("        Continuer ?", "Alerte", 52, &other, true), 7);
    EXPECT_EQ(other, 1);
    EXPECT_EQ(appState().OptionsDirty, 0);
}

TEST_F(MessageBox, UnknownStyleKeepsTheIconAndShowsOk) {
    uint8_t scratch = 1;
    qint64 errorIcon = 0;
    modal::pushHandler([&](modal::Call& c) {
        errorIcon = part<QLabel>(c, "ImageSymbole")->pixmap().cacheKey();
        part<QPushButton>(c, "BtnOk")->click();
    });
    EXPECT_EQ(ShowMessageBox("        Erreur.", "Erreur de saisie", 12, &scratch, false), 1);
    modal::pushHandler([&](modal::Call& c) {
        EXPECT_EQ(part<QLabel>(c, "ImageSymbole")->pixmap().cacheKey(), errorIcon);
        EXPECT_TRUE(part<QPushButton>(c, "BtnOk")->isVisible());
        EXPECT_FALSE(part<QPushButton>(c, "BtnOui")->isVisible());
        part<QPushButton>(c, "BtnOk")->click();
    });
    EXPECT_EQ(ShowMessageBox("        Autre.", "Titre", 99, &scratch, false), 1);
    for (const char* name : {"ERREUR", "QUESTION", "EXLAMATION", "INFORMATION"})
        EXPECT_EQ(MessageIcon(QString::fromLatin1(name)).size(), QSize(32, 32)) << name;
    EXPECT_TRUE(MessageIcon("AUTRE").isNull());
}

TEST_F(MessageBox, FailureWhileShownKeepsTheSwitch) {
    uint8_t alert = 1;
    // A box asked for while one is up gets the answer so far and leaves the shown box alone.
    modal::pushHandler([&alert](modal::Call& c) {
        const int before = static_cast<TFMessage*>(c.dialog)->ButtonResult;
        EXPECT_EQ(ShowMessageBox("        Autre ?", "Autre", 36, &alert, true), before);
        EXPECT_EQ(part<QLabel>(c, "LblMessage")->text(), QStringLiteral("        Oui ?"));
        part<QPushButton>(c, "BtnOui")->click();
    });
    EXPECT_EQ(ShowMessageBox("        Oui ?", "Question", 36, &alert, false), 6);
    modal::pushHandler([](modal::Call& c) {
        part<QCheckBox>(c, "ChbAfficheAlerte")->click();
        throw std::runtime_error("interrupted");
    });
    EXPECT_EQ(ShowMessageBox("        Alerte.", "Alerte", 48, &alert, true), 6);  // the last answer
    EXPECT_EQ(alert, 1);
    EXPECT_EQ(appState().OptionsDirty, 0);
    EXPECT_FALSE(FMessage->isVisible());
}

TEST_F(MessageBox, WidgetsFollowTheLayout) {
    uint8_t scratch = 1;
    const QString text = words(40);
    modal::pushHandler([&](modal::Call& c) {
        auto* box = static_cast<TFMessage*>(c.dialog);
        const QSize fm = MessageLineMetrics(box->LblMessage->font());
        const MessageLayout m = LayoutMessage(text, true, fm.height(), fm.width());
        // Every line of the label fits in the panel.
        EXPECT_LE(box->LblMessage->sizeHint().height() + 2, m.panelHeight);
        EXPECT_EQ(box->LblMessage->text(), m.text);
        EXPECT_EQ(box->size(), QSize(m.clientWidth(), m.clientHeight));
        EXPECT_EQ(box->Panel->geometry(), QRect(10, 12, m.panelWidth, m.panelHeight));
        EXPECT_EQ(box->BtnOk->pos(), QPoint(m.btnOkLeft, m.buttonsTop));
        box->reject();  // Escape does not close the box
        EXPECT_TRUE(box->isVisible());
        box->BtnOk->click();
    });
    EXPECT_EQ(ShowMessageBox(text, "Information", 64, &scratch, true), 1);
}
