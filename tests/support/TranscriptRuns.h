#pragma once

#include <QStringList>

class QTextDocument;

// What a transcript shows, one line per run: paragraph alignment (L or R), font face,
// size, colour, B and I for bold and italic, then the text in quotes. A paragraph break
// is a line of its own, "|". Comparing such lines shows at once which attribute differs.
namespace TranscriptRuns {

QStringList of(const QTextDocument &document);

} // namespace TranscriptRuns
