#pragma once

#include <QByteArray>

class QTextDocument;

// Rich Text Format of a document's paragraphs and runs, as word processors read it: font
// and colour tables, one group of attributes per run, left or right paragraphs. Runs in
// the Urdu glyph font go out as their one-byte glyph codes in a symbol-charset font, in the
// order the window shows them (numbers reading left to right); everything else as
// Windows-1252 with Unicode escapes beyond it.
namespace RtfWriter {

QByteArray write(const QTextDocument &document);

} // namespace RtfWriter
