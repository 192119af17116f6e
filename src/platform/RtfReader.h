#pragma once
// A small RTF reader for the program's own texts (tips, recipe descriptions): paragraphs, line
// breaks, tabs, bold, italic, underline, font size, text colour, code-page 1252 escapes (\'e9)
// and Unicode escapes (\u233?). Fonts, styles, pictures and other destinations are skipped;
// paragraph layout (alignment, indents) is not read.
//
//   QTextEdit* view = ...;                        // read-only
//   if (!rtf::loadFile(QStringLiteral("Aide/Presentation_Vivanda.rtf"), view->document())) ...
//   QString html = rtf::toHtml(description);      // the recipe sheet's description block
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

// The text starts (after blanks) with "{\rtf".
bool isRtf(const QString& text);

// Replaces the document's content with the RTF text. Characters above 127 met outside escapes are
// taken as they are (a file is decoded from code page 1252 first by loadFile).
void read(const QString& rtfText, QTextDocument* document);

// The RTF text as an HTML fragment for a QTextDocument.
QString toHtml(const QString& rtfText);

// Reads an RTF file (code page 1252) into the document. False, and the document left alone, when
// the file cannot be read.
bool loadFile(const QString& path, QTextDocument* document);

// Code page 1252 bytes to text.
QString fromCp1252(const QByteArray& bytes);

}  // namespace rtf
