#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

#include "frame/AppState.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"
#include "support/FormTest.h"
#include "support/MessageScript.h"

namespace {
// Fixed metrics for the layout tests: 13-pixel lines, 6-pixel characters, so 70 characters a line.
constexpr int kH = 13;
constexpr int kW = 6;
constexpr int kDesignClientHeight = 128 - kMessageFrameHeight;

QString words(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i) list << QStringLiteral("mot%1").arg(i % 10) + QString(i % 4, 'x');
    return QStringLiteral("        ") + list.join(QLatin1Char(' '));
}
}  // namespace

TEST(MessageLayout, ShortTextsKeepTheirLinesAndTheDesignHeight) {
    // One short line: a box as narrow as the text; the check box makes it taller.
    const QString text = QStringLiteral("        Voulez-vous continuer ?");  // 31 characters
    const MessageLayout m = LayoutMessage(text, false, kH, kW);
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.formWidth, 31 * kW + 28);
    EXPECT_EQ(m.clientHeight, kDesignClientHeight);
    EXPECT_GT(LayoutMessage(text, true, kH, kW).clientHeight, kDesignClientHeight);
    // A line of exactly N characters is still a short one; one more and it takes the full width.
    const QString full = QStringLiteral("        ") + QString(62, QLatin1Char('a'));
    EXPECT_EQ(LayoutMessage(full, false, kH, kW).formWidth, 70 * kW + 28);
    EXPECT_EQ(LayoutMessage(full + QLatin1Char('a'), false, kH, kW).formWidth, 450);

    // Existing line feeds are kept, nothing added; two lines fit the design height, four do not.
    const QString two = QStringLiteral("        Ligne un\n        Ligne deux");
    const MessageLayout t = LayoutMessage(two, false, 10, kW);
    EXPECT_EQ(t.text, two);
    EXPECT_EQ(t.lines, 2);
    EXPECT_EQ(t.clientHeight, kDesignClientHeight);
    EXPECT_GT(LayoutMessage(two + QStringLiteral("\n        Ligne trois"), false, 10, kW).clientHeight, kDesignClientHeight);
    const MessageLayout f = LayoutMessage(QStringLiteral("        a\n        b\n        c\n        d"), true, kH, kW);
    EXPECT_EQ(f.panelHeight, 4 * kH + 10);
    EXPECT_EQ(f.buttonsTop, 12 + f.panelHeight + 22 + 7);
}

// A scan of the wrap takes the characters through the next line feed, at most `max`, or one past
// the end when the text ends first.
TEST(MessageLayout, SegmentsEndAtTheLineFeedTheMaximumOrPastTheEnd) {
    const QString t = QStringLiteral("abcdef\nghijklmnop");
    EXPECT_EQ(NextSegmentLength(t, 1, 10), 7);
    EXPECT_EQ(NextSegmentLength(t, 8, 4), 4);
    EXPECT_EQ(NextSegmentLength(t, 8, 5), 5);
    EXPECT_EQ(NextSegmentLength(t, 15, 10), 4);
    EXPECT_EQ(NextSegmentLength(t, 1, 0), 0);
}

TEST(MessageLayout, LongLineBreaksAfterTheLastBlank) {
    const QString text = words(60);
    const MessageLayout m = LayoutMessage(text, false, kH, kW);
    QStringList lines = m.text.split(QLatin1Char('\n'));
    EXPECT_EQ(m.lines, lines.size());
    EXPECT_GT(m.lines, 3);
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 70 + 2) << i;
        if (i + 1 < lines.size()) EXPECT_TRUE(lines[i].endsWith(QLatin1Char(' '))) << i;
    }
    EXPECT_EQ(lines.join(QString()), text);  // only line feeds were added, each after a blank
    EXPECT_EQ(m.panelHeight, m.lines * kH + 10);

    // A single line longer than N becomes two lines at the short height when they fit.
    const MessageLayout two = LayoutMessage(words(14), false, 10, kW);
    EXPECT_EQ(two.lines, 2);
    EXPECT_EQ(two.clientHeight, kDesignClientHeight);
}

TEST(MessageLayout, EveryBreakOfASeveralLineMessage) {
    // 42-pixel characters: 10 a line. Each scan after a break starts one character into the
    // next line, so every later break lands one blank further than a fresh scan would put it.
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"        aa bb cc dd ee ff gg hh", {"        ", "aa bb cc ", "dd ee ff ", "gg hh"}},
        // After the text's own line feed the scan starts two characters in: "bb" is skipped.
        {"        aa\nbbbb cc dd eeee ff", {"        ", "aa", "bbbb cc dd ", "eeee ff"}},
        // Runs without a blank are cut at N characters counted from where each scan starts.
        {"        abcdefghijklmnopqrstuvwxyz", {"        ", "abcdefghijk", "lmnopqrstuv", "wxyz"}},
    };
    for (const auto& c : cases) {
        const MessageLayout m = LayoutMessage(QString::fromUtf8(c.text), false, 40, 42);
        EXPECT_EQ(m.text.split(QLatin1Char('\n')), c.lines) << c.text;
        EXPECT_EQ(m.lines, c.lines.size()) << c.text;
        EXPECT_EQ(m.labelLeft, 2) << c.text;
    }
}

TEST(MessageLayout, TextsClearTheIconAndCaptionsFitTheTitleBar) {
    // A text whose lines beside the icon lack the eight opening blanks moves right of it and
    // wraps to the narrower width; the others stay where the design puts them.
    const QString advice = QStringLiteral("L'estimation de vos besoins caloriques est de 2500 kilocalories, or votre "
                                          "objectif calorique est de 1500 kilocalories.");
    const struct {
        QString text;
        int labelLeft, lineChars;
    } cases[] = {{QStringLiteral("        Valeur non valide !"), 2, 70},
                 {QStringLiteral("        a\n        b\n        c"), 2, 70},
                 {advice, 32, 65},
                 {words(30), 32, 65},   // its second line would run under the icon
                 {QStringLiteral("Erreur"), 32, 65}};
    for (const auto& c : cases) {
        const MessageLayout m = LayoutMessage(c.text, false, kH, kW);
        EXPECT_EQ(m.labelLeft, c.labelLeft) << c.text.toStdString();
        EXPECT_EQ(m.lineChars, c.lineChars) << c.text.toStdString();
        for (const QString& line : m.text.split(QLatin1Char('\n')))
            EXPECT_LE(c.labelLeft + line.size() * kW, 10 + m.panelWidth + 2 * kW) << line.toStdString();
    }
    // A short line moved right gets a panel wider by as much.
    EXPECT_EQ(LayoutMessage(QStringLiteral("Erreur de saisie du poids"), false, kH, kW).panelWidth, 25 * kW + 30);

    // A caption wider than the box widens it, the buttons keeping their places under the panel.
    const QString text = QStringLiteral("        Voulez-vous continuer ?");
    const MessageLayout narrow = LayoutMessage(text, false, kH, kW, 50);
    EXPECT_EQ(narrow.formWidth, 31 * kW + 28);
    const MessageLayout wide = LayoutMessage(text, false, kH, kW, 400);
    EXPECT_EQ(wide.clientWidth(), 400 + 120);
    EXPECT_EQ(wide.panelWidth + 10, wide.btnNonLeft + 73);
    EXPECT_EQ(wide.formWidth - wide.panelWidth, narrow.formWidth - narrow.panelWidth);
    EXPECT_GT(CaptionWidth(QStringLiteral("Premiers pas avec la gestion quotidienne des apports nutritionnels"),
                           QFont(QStringLiteral("DejaVu Sans"))),
              400);
}

TEST(MessageLayout, DegenerateMetricsNeitherDivideByZeroNorLoop) {
    const QString text(200, QLatin1Char('x'));
    EXPECT_EQ(LayoutMessage(text, false, kH, 0).lineChars, 422 - 30);
    const MessageLayout wide = LayoutMessage(QStringLiteral("ab cd\nef"), false, kH, 500);
    EXPECT_EQ(wide.lineChars, 1);
    EXPECT_EQ(QString(wide.text).remove(QLatin1Char('\n')), QStringLiteral("ab cdef"));
}

namespace {
class MessageBox : public ModalTest {
protected:
    static TFMessage* box(modal::Call& c) { return static_cast<TFMessage*>(c.dialog); }
};
}  // namespace

TEST_F(MessageBox, AnswersAndTheSwitch) {
    uint8_t alert = 1;
    // "Oui" leaves the switch alone.
    modal::pushHandler([](modal::Call& c) {
        EXPECT_TRUE(box(c)->BtnNon->isVisible());
        EXPECT_FALSE(box(c)->BtnOk->isVisible());
        EXPECT_FALSE(box(c)->ChbAfficheAlerte->isVisible());
        EXPECT_EQ(box(c)->LblMessage->text(), QStringLiteral("        Supprimer l'aliment ?"));
        EXPECT_FALSE(box(c)->ImageSymbole->pixmap().isNull());
        box(c)->BtnOui->click();
    });
    EXPECT_EQ(ShowMessageBox("        Supprimer l'aliment ?", "Confirmation", 36, &alert, false), 6);
    ASSERT_NE(FMessage, nullptr);
    EXPECT_FALSE(FMessage->isVisible());
    EXPECT_EQ(alert, 1);
    EXPECT_EQ(appState().OptionsDirty, 0);

    // Ticking "Ne plus afficher ce message" turns the alert off and marks the options dirty.
    modal::pushHandler([](modal::Call& c) {
        EXPECT_FALSE(box(c)->ChbAfficheAlerte->isChecked());
        box(c)->ChbAfficheAlerte->click();
        box(c)->BtnOk->click();
    });
    EXPECT_EQ(ShowMessageBox("        Trop de calories.", "Alerte", 48, &alert, true), 1);
    EXPECT_EQ(alert, 0);
    EXPECT_EQ(appState().OptionsDirty, 1);

    // The next box starts from its own switch, not from the previous tick; ticking and
    // unticking again changes nothing.
    appState().OptionsDirty = 0;
    uint8_t other = 1;
    modal::pushHandler([](modal::Call& c) {
        EXPECT_FALSE(box(c)->ChbAfficheAlerte->isChecked());
        box(c)->ChbAfficheAlerte->click();
        box(c)->ChbAfficheAlerte->click();
        box(c)->BtnNon->click();
    });
    EXPECT_EQ(ShowMessageBox("        Continuer ?", "Alerte", 52, &other, true), 7);
    EXPECT_EQ(other, 1);
    EXPECT_EQ(appState().OptionsDirty, 0);
}

TEST_F(MessageBox, UnknownStyleKeepsTheIconAndShowsOk) {
    uint8_t scratch = 1;
    qint64 errorIcon = 0;
    modal::pushHandler([&](modal::Call& c) {
        errorIcon = box(c)->ImageSymbole->pixmap().cacheKey();
        box(c)->BtnOk->click();
    });
    EXPECT_EQ(ShowMessageBox("        Erreur.", "Erreur de saisie", 12, &scratch, false), 1);
    modal::pushHandler([&](modal::Call& c) {
        EXPECT_EQ(box(c)->ImageSymbole->pixmap().cacheKey(), errorIcon);
        EXPECT_FALSE(box(c)->BtnOui->isVisible());
        box(c)->BtnOk->click();
    });
    EXPECT_EQ(ShowMessageBox("        Autre.", "Titre", 99, &scratch, false), 1);
    // Each icon is drawn, and its mark ends before the eight blanks that open a message do, so
    // the first letter is never hidden under it.
    const int textStart = FMessage->LblMessage->x() +
                          QFontMetrics(FMessage->LblMessage->font()).horizontalAdvance(QString(8, ' '));
    for (const char* name : {"ERREUR", "QUESTION", "EXLAMATION", "INFORMATION"}) {
        const QImage icon = MessageIcon(QString::fromLatin1(name)).toImage();
        ASSERT_FALSE(icon.isNull()) << name;
        int markEnd = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                if (qAlpha(icon.pixel(x, y)) > 0) markEnd = std::max(markEnd, x + 1);
        EXPECT_GT(markEnd, 20) << name;
        EXPECT_LT(FMessage->ImageSymbole->x() + markEnd, textStart) << name;
    }
    EXPECT_TRUE(MessageIcon("AUTRE").isNull());
    // The "i" reads as one: down its middle, the dot ends more than a pixel above the stem
    // (rows between them that are not wholly white, counted from the dot's last white row).
    const QImage info = MessageIcon("INFORMATION").toImage();
    const int middle = 16 * 26 / 32;   // the sign's middle in the drawn 26 pixels
    const auto white = [&](int y) { return qRed(info.pixel(middle, y)) > 0xE0; };
    int y = 0;
    while (y < info.height() && !white(y)) ++y;   // the dot
    while (y < info.height() && white(y)) ++y;
    int gap = 0;
    while (y < info.height() && !white(y)) ++gap, ++y;
    EXPECT_GE(gap, 2);
    EXPECT_LT(y, 20);   // then the stem
}

TEST_F(MessageBox, FailureWhileShownKeepsTheSwitch) {
    uint8_t alert = 1;
    // A box asked for while one is up leaves the shown box alone and gets the answer that does
    // nothing: "Non" to a question, even once the box on screen was answered "Oui"; "OK" to an
    // information.
    modal::pushHandler([&alert](modal::Call& c) {
        const struct {
            int style;
            int answer;
        } nested[] = {{36, 7}, {16, 7}, {52, 7}, {68, 7}, {64, 1}, {12, 1}, {99, 1}};
        box(c)->ButtonResult = 6;
        for (const auto& n : nested)
            EXPECT_EQ(ShowMessageBox("        Autre ?", "Autre", n.style, &alert, true), n.answer) << n.style;
        EXPECT_EQ(box(c)->LblMessage->text(), QStringLiteral("        Oui ?"));
        box(c)->BtnOui->click();
    });
    EXPECT_EQ(ShowMessageBox("        Oui ?", "Question", 36, &alert, false), 6);
    // Interrupted before any button: the box's cancel answer, not the previous box's "Oui".
    for (const auto& [style, answer] : {std::pair{48, 1}, std::pair{36, 7}}) {
        modal::pushHandler([](modal::Call& c) {
            box(c)->ChbAfficheAlerte->click();
            throw std::runtime_error("interrupted");
        });
        EXPECT_EQ(ShowMessageBox("        Alerte.", "Alerte", style, &alert, true), answer) << style;
    }
    EXPECT_EQ(alert, 1);
    EXPECT_EQ(appState().OptionsDirty, 0);
    EXPECT_FALSE(FMessage->isVisible());
}

TEST_F(MessageBox, WidgetsFollowTheLayoutAndEscapeDoesNotClose) {
    uint8_t scratch = 1;
    const QString text = words(40);
    modal::pushHandler([&](modal::Call& c) {
        const QSize fm = MessageLineMetrics(box(c)->LblMessage->font());
        const QFontMetrics drawn(box(c)->LblMessage->font());
        const MessageLayout m = LayoutMessage(text, true, fm.height(), fm.width(), 0,
                                              [&drawn](const QString& s) { return drawn.horizontalAdvance(s); });
        // Every line of the label fits in the panel.
        EXPECT_LE(box(c)->LblMessage->sizeHint().height() + 2, m.panelHeight);
        EXPECT_EQ(box(c)->LblMessage->text(), m.text);
        EXPECT_EQ(box(c)->size(), QSize(m.clientWidth(), m.clientHeight));
        box(c)->reject();
        EXPECT_TRUE(box(c)->isVisible());
        // A dialog's title bar: no minimise or maximise box (the close box named, see UseDialogFrame).
        EXPECT_EQ(box(c)->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                           Qt::WindowCloseButtonHint | Qt::WindowType_Mask),
                  Qt::WindowCloseButtonHint | Qt::Dialog);
        // Enter answers an information box.
        QTest::keyClick(box(c), Qt::Key_Return);
        EXPECT_FALSE(box(c)->isVisible());
    });
    EXPECT_EQ(ShowMessageBox(text, "Information", 64, &scratch, true), 1);
    // The close box a window manager adds answers as the box's cancel button: never "Oui".
    modal::pushHandler([](modal::Call& c) { box(c)->close(); });
    EXPECT_EQ(ShowMessageBox("        Supprimer ?", "Question", 36, &scratch, false), 7);
    EXPECT_FALSE(FMessage->isVisible());
}

// Every question opens on "Oui", the first of its buttons in the tab order, whatever was pressed
// at the box before, and Enter answers it; a box that only informs opens on "OK".
TEST_F(MessageBox, QuestionsOpenOnOuiAndEnterAnswersIt) {
    delete FMessage;  // the first box of the run
    FMessage = nullptr;
    uint8_t alert = 1;
    MessageLog log;
    const QString save = QStringLiteral("        Voulez-vous enregistrer la création de cet utilisateur ?");
    const struct {
        const char* press;   // a button clicked, or "" for Enter at the focused widget
        int style;
        bool withCheckBox;
        const char* focused;
        int answer;
    } steps[] = {{"", 36, false, "BtnOui", 6},     {"BtnNon", 36, false, "", 7}, {"", 36, false, "BtnOui", 6},
                 {"", 64, false, "BtnOk", 1},      {"", 16, false, "BtnOui", 6}, {"BtnNon", 52, true, "", 7},
                 {"", 52, true, "BtnOui", 6},      {"", 68, false, "BtnOui", 6}};
    for (const auto& s : steps) {
        QString focused;
        if (*s.press)
            AnswerNextMessage(log, s.press);
        else
            AnswerNextMessageByKey(log, Qt::Key_Return, &focused);
        EXPECT_EQ(ShowMessageBox(save, QStringLiteral("Création d'enregistrement"), s.style, &alert, s.withCheckBox),
                  s.answer)
            << s.style;
        EXPECT_EQ(focused, QString::fromLatin1(s.focused)) << s.style;
    }
    EXPECT_EQ(log.count(), 8);
    EXPECT_EQ(alert, 1);
}

// A line drawn wider than its count of average characters (capitals, a long recipe name) is
// never cut at the panel's edge: the box widens, its lines staying where the wrap broke them.
TEST_F(MessageBox, WideLinesAreShownWhole) {
    uint8_t scratch = 1;
    const QString name = QStringLiteral("GRATIN DAUPHINOIS DE MAMIE AUX CÈPES, MORILLES ET GIROLLES");
    const QString texts[] = {
        QStringLiteral("        Voulez vous vraiment dupliquer la recette\n        '") + name + QStringLiteral("' ?"),
        QStringLiteral("        ") + name + QStringLiteral(" ") + name,
        QStringLiteral("        MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"),
    };
    for (const QString& text : texts) {
        modal::pushHandler([&](modal::Call& c) {
            const QFontMetrics fm(box(c)->LblMessage->font());
            for (const QString& line : box(c)->LblMessage->text().split(QLatin1Char('\n')))
                EXPECT_LE(box(c)->LblMessage->x() + fm.horizontalAdvance(line), box(c)->Panel->width())
                    << line.toStdString();
            EXPECT_LE(box(c)->BtnNon->geometry().right(), box(c)->width());
            EXPECT_EQ(box(c)->LblMessage->text().remove(QLatin1Char('\n')), QString(text).remove(QLatin1Char('\n')));
            box(c)->BtnNon->click();
        });
        EXPECT_EQ(ShowMessageBox(text, QStringLiteral("Duplication"), 36, &scratch, false), 7);
    }
    // However short the text, "Oui" and "Non" stand apart, and the check box's notice shows whole.
    for (const bool withCheckBox : {false, true}) {
        modal::pushHandler([&](modal::Call& c) {
            TFMessage* b = box(c);
            EXPECT_LT(b->BtnOui->geometry().right(), b->BtnNon->x());
            EXPECT_LE(b->BtnNon->geometry().right(), b->width());
            if (withCheckBox) EXPECT_LE(b->LblNePlusAfficher->geometry().right(), b->width());
            b->BtnOui->click();
        });
        EXPECT_EQ(ShowMessageBox(QStringLiteral("        Sûr ?"), QStringLiteral("?"), 52, &scratch, withCheckBox), 6);
    }
    // The layout alone: lines measured at ten pixels a character for six counted.
    const MessageLayout m = LayoutMessage(words(30), false, kH, kW, 0, [](const QString& s) { return 10 * int(s.size()); });
    for (const QString& line : m.text.split(QLatin1Char('\n'))) EXPECT_LE(m.labelLeft + 10 * line.size() + 2, m.panelWidth);
    EXPECT_EQ(m.text, LayoutMessage(words(30), false, kH, kW).text);
    EXPECT_EQ(m.panelWidth + 10, m.btnNonLeft + 73);
}

TEST_F(MessageBox, TheTextDrawsAsALabelSizedToItWould) {
    // The label fills the panel instead of taking its own size: the text must still draw at the
    // very pixels a label sized to its text (and centred in it, a label's default) draws it.
    uint8_t scratch = 1;
    const QString texts[] = {QStringLiteral("        Oui ?"), QStringLiteral("        Deux lignes :\n        la seconde."),
                             words(45), QStringLiteral("Sans blancs devant, ") + words(20),
                             QStringLiteral("        MAJUSCULES WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW")};
    for (const QString& text : texts) {
        for (bool withCheckBox : {false, true}) {
            modal::pushHandler([&](modal::Call& c) {
                QLabel* label = box(c)->LblMessage;
                const QImage shown = box(c)->Panel->grab().toImage();
                const QRect kept = label->geometry();
                const Qt::Alignment align = label->alignment();
                EXPECT_GE(kept.height(), label->sizeHint().height()) << text.toStdString();
                label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                label->adjustSize();
                EXPECT_EQ(box(c)->Panel->grab().toImage(), shown) << text.toStdString();
                label->setAlignment(align);
                label->setGeometry(kept);
                box(c)->BtnOk->click();
            });
            ShowMessageBox(text, QStringLiteral("Titre"), 64, &scratch, withCheckBox);
        }
    }
}
