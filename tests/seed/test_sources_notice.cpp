// The data sources are cited where users look: the help page "Sources des données", reached
// from the help contents, and the notice staged beside the database. Ciqual's licence asks for
// its source wherever the data is shipped.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>

namespace {

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(SourcesNotice, HelpPageAndStagedNoticeCiteEverySourceWithItsLicence) {
    const QString citations[] = {
        QStringLiteral("Anses. 2020. Table de composition nutritionnelle des aliments Ciqual"),
        QStringLiteral("https://ciqual.anses.fr/"),
        QStringLiteral("Licence Ouverte / Open Licence version 2.0"),
        QStringLiteral("https://www.etalab.gouv.fr/licence-ouverte-open-licence/"),
        QStringLiteral("USDA National Nutrient Database for Standard Reference, Release 28"),
        QStringLiteral("2011 Compendium of Physical Activities"),
        QStringLiteral("USDA Table of Nutrient Retention Factors, Release 6"),
    };
    const QString places[] = {QStringLiteral(VIVANDA_SOURCE_DIR "/resources/help/sources.html"),
                              QStringLiteral(VIVANDA_BINARY_DIR "/stage/Data/SOURCES.txt")};
    for (const QString& place : places) {
        // The page wraps its lines; the citations are compared with single blanks.
        const QString text = readText(place).simplified();
        ASSERT_FALSE(text.isEmpty()) << place.toStdString() << " is missing";
        for (const QString& citation : citations)
            EXPECT_TRUE(text.contains(citation)) << place.toStdString() << " lacks: " << citation.toStdString();
    }
    EXPECT_TRUE(readText(QStringLiteral(VIVANDA_SOURCE_DIR "/resources/help/index.html"))
                    .contains(QStringLiteral("<a href=\"sources.html\">Sources des données</a>")))
        << "the help contents must lead to the sources page";
}

}  // namespace
