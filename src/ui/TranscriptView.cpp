#include "ui/TranscriptView.h"

#include "ui/TranscriptAccessible.h"
#include "ui/UrduRuns.h"
#include "urdu/UrduGlyphFont.h"
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
            const QString part = fragment.text().mid(from - fragment.position(), to - from);
            if (!UrduRuns::holdsGlyphs(fragment.charFormat())) {
                text += part;
                continue;
            }
            const UrduGlyphText runGlyphs = UrduGlyphFont::fromDisplay(part);
            text += UrduUnicode::fromGlyphs(runGlyphs);
            glyphs += (glyphs.isEmpty() ? "" : " ") + runGlyphs;
        }
    }
    auto *data = glyphs.isEmpty() ? new QMimeData : UrduUnicode::mimeData(glyphs).release();
    data->setText(text);
    return data;
}
