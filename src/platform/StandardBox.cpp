#include "platform/StandardBox.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "platform/Modal.h"

namespace {

// The words of a line after its opening blanks, broken into lines no wider than `width`.
QStringList fill(const QString& indent, const QStringList& words, const QFontMetrics& fm, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? indent + word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && fm.horizontalAdvance(longer) > width) {
            lines << line;
            line = indent + word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

QStringList wrapLine(const QString& line, const QFontMetrics& fm, int width) {
    const int full = fm.horizontalAdvance(line);
    if (full <= width) return {line};
    int blanks = 0;
    while (blanks < line.size() && line.at(blanks) == QLatin1Char(' ')) ++blanks;
    const QString indent = line.left(blanks);
    // The line ends after a colon where one leaves a line that fits (the last such colon).
    int split = -1;
    for (int colon = line.indexOf(QLatin1String(": "), blanks);
         colon > 0 && fm.horizontalAdvance(line.left(colon + 1)) <= width;
         colon = line.indexOf(QLatin1String(": "), colon + 1))
        split = colon;
    const QString tail = split > 0 ? line.mid(split + 2).trimmed() : QString();
    if (!tail.isEmpty()) return QStringList{line.left(split + 1)} + wrapLine(indent + tail, fm, width);
    const QStringList words = line.mid(blanks).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // As few lines as the width allows, of about equal width: the shortest width that needs no
    // more lines than the full width does.
    const QStringList widest = fill(indent, words, fm, width);
    const int step = std::max(1, fm.averageCharWidth());
    for (int w = full / int(widest.size()); w < width; w += step) {
        const QStringList even = fill(indent, words, fm, w);
        if (even.size() <= widest.size()) return even;
    }
    return widest;
}

}  // namespace

QString WrapIndentedLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) out << wrapLine(line, metrics, std::max(width, 1));
    return out.join(QLatin1Char('\n'));
}

int ShowStandardBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                    QMessageBox::StandardButtons buttons, QWidget* parent) {
    QMessageBox box(icon, caption, QString(), buttons, parent);
    // The box breaks its text once it is wider than half the screen (500 pixels at most); its
    // icon and margins take about 120 of them.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int boxWidth = std::min(screen ? screen->availableGeometry().width() / 2 : 500, 500);
    box.setText(WrapIndentedLines(text, QFontMetrics(box.font()), boxWidth - 120));
    return modal::exec(&box);
}
