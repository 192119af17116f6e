#pragma once
// The toolkit's standard box, for the failures shown outside the program's own message box (a
// refused start, an unexpected error). Its label breaks a line too wide for it wherever it must,
// and the rest of the line then loses the blanks the line opens with; the lines are broken here
// first, so that the box keeps the text's own lines.
#include <QMessageBox>
#include <QString>

class QFontMetrics;

// Breaks every line of `text` wider than `width` pixels into lines of about equal width, after a
// blank, each new line opening with the blanks of the line it comes from. A word wider than
// `width` (a path) stays whole on its line.
QString WrapIndentedLines(const QString& text, const QFontMetrics& metrics, int width);

// Shows the standard box with `text` broken so that the box does not break it itself; returns
// what the box returns.
int ShowStandardBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                    QMessageBox::StandardButtons buttons, QWidget* parent);
