#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QString>

// A small reader of the RTF that the transcript saves, for tests: the font and colour
// tables and the runs of text with the attributes a word processor would give them. A run
// is the longest stretch of text of one look; a paragraph break is CR LF in the run that
// ends there.
class RtfReader
{
public:
    struct Font
    {
        QString name;
        int charset = 0; // 2 is the symbol charset
    };

    struct Run
    {
        QString text; // an ordinary font's text; a paragraph break reads as CR LF
        QByteArray glyphs; // the bytes of a symbol-charset font, CR LF for a break
        QString fontName;
        bool symbol = false;
        int halfPoints = 24;
        QColor color; // invalid for the reader's automatic colour
        bool bold = false;
        bool italic = false;
        Qt::Alignment alignment = Qt::AlignLeft;

        bool sameLookAs(const Run &other) const;
    };

    struct Document
    {
        bool valid = false; // one balanced group that starts with \rtf1
        QMap<int, Font> fonts;
        QList<QColor> colors; // index 0 is the automatic colour
        QList<Run> runs;
    };

    static Document read(const QByteArray &rtf);
};
