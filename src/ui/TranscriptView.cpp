#include "ui/TranscriptView.h"

#include "ui/TranscriptAccessible.h"
#include "ui/UrduRuns.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduReadingMap.h"
#include "urdu/UrduUnicode.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

TranscriptView::TranscriptView(QWidget *parent)
    : QTextEdit(parent)
{
    TranscriptAccessible::install();
}

QMimeData *TranscriptView::createMimeDataFromSelection() const
{
    const QTextCursor selection = textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    QString text;
    UrduGlyphText glyphs;
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() <= end; block = block.next()) {
        if (block.position() > start)
            text += u'\n';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = qMax(start, fragment.position());
            const int to = qMin(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            const int offset = from - fragment.position();
            const QString part = fragment.text().mid(offset, to - from);
            const QTextCharFormat format = fragment.charFormat();
            UrduGlyphText runGlyphs;
            if (UrduRuns::holdsGlyphs(format)) {
                runGlyphs = UrduGlyphFont::fromDisplay(part);
                text += UrduUnicode::fromGlyphs(runGlyphs);
            } else if (UrduRuns::isNastaliq(format)) {
                // The selected letters of the reading, and the glyphs between the same carets.
                const UrduGlyphText all = UrduGlyphFont::fromDisplay(UrduRuns::glyphsShown(format));
                const UrduReadingMap reading(all);
                const int left = reading.caretAt(offset + int(part.size()));
                runGlyphs = all.mid(left, reading.caretAt(offset) - left);
                text += part;
            } else {
                text += part;
                continue;
            }
            glyphs += (glyphs.isEmpty() ? "" : " ") + runGlyphs;
        }
    }
    auto *data = glyphs.isEmpty() ? new QMimeData : UrduUnicode::mimeData(glyphs).release();
    data->setText(text);
    return data;
}
