#include "ui/RtfWriter.h"

#include "ui/UrduRuns.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduNumberRuns.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <optional>

namespace RtfWriter {

namespace {

    // Windows-1252 places 27 characters in 0x80 to 0x9F; the rest of its upper half is
    // Latin-1. The undefined bytes decode to their own C1 control code and are left out,
    // so such a control goes out as a Unicode escape.
    std::optional<char> windows1252Byte(char16_t unit)
    {
        static const std::array<char16_t, 32> upperControlRow = [] {
            std::array<char16_t, 32> row {};
            QStringDecoder decoder("windows-1252");
            for (int byte = 0x80; byte < 0xA0; ++byte) {
                const QString decoded = decoder.decode(QByteArray(1, char(byte)));
                row[byte - 0x80] = decoded.size() == 1 && decoded[0].unicode() != byte
                    ? decoded[0].unicode()
                    : char16_t(0);
            }
            return row;
        }();
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
            return char(unit);
        const auto found = std::find(upperControlRow.begin(), upperControlRow.end(), unit);
        if (found == upperControlRow.end())
            return std::nullopt;
        return char(0x80 + (found - upperControlRow.begin()));
    }

    void appendHexByte(QByteArray &out, char byte)
    {
        out += "\\'";
        out += QByteArray::number(static_cast<unsigned char>(byte), 16).rightJustified(2, '0');
    }

    // Text of an ordinary font: the RTF specials escaped, bytes beyond ASCII in the file's
    // code page, anything else as a signed 16-bit Unicode escape with "?" for old readers.
    void appendText(QByteArray &out, QStringView text)
    {
        for (const QChar character : text) {
            const char16_t unit = character.unicode();
            if (unit == u'\\' || unit == u'{' || unit == u'}') {
                out += '\\';
                out += char(unit);
            } else if (unit == u'\t') {
                out += "\\tab ";
            } else if (unit >= 0x20 && unit < 0x80) {
                out += char(unit);
            } else if (const auto byte = windows1252Byte(unit)) {
                appendHexByte(out, *byte);
            } else {
                out += "\\u" + QByteArray::number(static_cast<qint16>(unit)) + '?';
            }
        }
    }

    // Urdu runs hold the glyph codes in the order the window shows them, numbers in reading
    // order: a word processor lays symbol-font bytes out left to right as they come, so
    // turning a number back to its stored order would print its digits reversed. Every code
    // but the space is written as a byte escape, so backslash and braces need no special case.
    void appendGlyphs(QByteArray &out, QStringView text)
    {
        // fromDisplay turns the numbers back; turning them again leaves each code in place.
        const QByteArray shown
            = UrduNumberRuns::turned(UrduGlyphFont::fromDisplay(text.toString()));
        for (const char glyph : shown) {
            if (glyph == ' ')
                out += ' ';
            else
                appendHexByte(out, glyph);
        }
    }

    bool isGlyphFont(const QString &family)
    {
        return family.startsWith(UrduGlyphFont::familyPrefix());
    }

    QString familyOf(const QTextCharFormat &format, const QTextDocument &document)
    {
        const QString family = format.fontFamilies().toStringList().value(0);
        return family.isEmpty() ? document.defaultFont().family() : family;
    }

    int halfPointsOf(const QTextCharFormat &format, const QTextDocument &document)
    {
        const qreal points = format.hasProperty(QTextFormat::FontPointSize)
            ? format.fontPointSize()
            : document.defaultFont().pointSizeF();
        return qRound(points * 2);
    }

    // The place of an entry in a table, appended when it is new. The hash finds a known
    // entry at once, so a transcript in thousands of fonts or colours is written in linear
    // time rather than rescanning the table for each run.
    template<typename Entry>
    int placeOf(const Entry &entry, QList<Entry> &entries, QHash<Entry, int> &places)
    {
        const auto known = places.constFind(entry);
        if (known != places.cend())
            return known.value();
        const int place = int(entries.size());
        entries.append(entry);
        places.insert(entry, place);
        return place;
    }

    // The font and colour tables fill as the runs name them; each run refers to its entries.
    class Tables
    {
    public:
        int fontIndex(const QString &family) { return placeOf(family, m_fonts, m_fontPlaces); }

        // Index 0 is the reader's automatic colour, used by runs without a colour.
        int colorIndex(const QTextCharFormat &format)
        {
            if (!format.hasProperty(QTextFormat::ForegroundBrush))
                return 0;
            return placeOf(format.foreground().color().rgb(), m_colors, m_colorPlaces) + 1;
        }

        QByteArray fontTable() const
        {
            QByteArray table = "{\\fonttbl";
            for (qsizetype index = 0; index < m_fonts.size(); ++index) {
                const QString &family = m_fonts[index];
                table += "{\\f" + QByteArray::number(index) + "\\fnil\\fcharset"
                    + (isGlyphFont(family) ? "2 " : "0 ");
                // A semicolon would end the entry early, and no installed font has one.
                appendText(table, QString(family).remove(u';'));
                table += ";}";
            }
            return table + "}";
        }

        QByteArray colorTable() const
        {
            QByteArray table = "{\\colortbl;";
            for (const QRgb rgb : m_colors) {
                table += "\\red" + QByteArray::number(qRed(rgb)) + "\\green"
                    + QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb))
                    + ';';
            }
            return table + "}";
        }

    private:
        QList<QString> m_fonts;
        QHash<QString, int> m_fontPlaces;
        QList<QRgb> m_colors;
        QHash<QRgb, int> m_colorPlaces;
    };

    void appendAttributes(QByteArray &out, const QTextCharFormat &format,
        const QTextDocument &document, Tables &tables)
    {
        out += "\\f" + QByteArray::number(tables.fontIndex(familyOf(format, document)));
        out += "\\fs" + QByteArray::number(halfPointsOf(format, document));
        out += "\\cf" + QByteArray::number(tables.colorIndex(format));
        out += format.fontWeight() >= QFont::Bold ? "\\b" : "\\b0";
        out += format.fontItalic() ? "\\i " : "\\i0 ";
    }

    // A run drawn in Nastaliq is written as the glyphs it stands for, as it would be in Naskh.
    void appendRun(QByteArray &out, const QTextFragment &fragment, const QTextDocument &document,
        Tables &tables)
    {
        const QTextCharFormat format = UrduRuns::naskhFormat(fragment.charFormat());
        const QString text = UrduRuns::isNastaliq(fragment.charFormat())
            ? UrduRuns::glyphsShown(fragment.charFormat())
            : fragment.text();
        appendAttributes(out, format, document, tables);
        if (isGlyphFont(familyOf(format, document)))
            appendGlyphs(out, text);
        else
            appendText(out, text);
    }

    QByteArray paragraphs(const QTextDocument &document, Tables &tables)
    {
        QByteArray body;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            // A paragraph break takes the look of the run that wrote it, which the block it
            // opened keeps as its own character format; an empty line is then as high as
            // its neighbours.
            if (block != document.begin()) {
                appendAttributes(body, UrduRuns::naskhFormat(block.charFormat()), document, tables);
                body += "\\par\r\n";
            }
            body += block.blockFormat().alignment() & Qt::AlignRight ? "\\pard\\qr" : "\\pard\\ql";
            QTextCharFormat previous;
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                // A Nastaliq run the document holds in pieces carries its glyphs in each.
                const QTextCharFormat format = fragment.fragment().charFormat();
                if (UrduRuns::isNastaliq(format) && format == previous)
                    continue;
                previous = format;
                appendRun(body, fragment.fragment(), document, tables);
            }
        }
        return body;
    }

} // namespace

QByteArray write(const QTextDocument &document)
{
    Tables tables;
    // The default font comes first, so that the table is never empty and \deff0 names it.
    tables.fontIndex(document.defaultFont().family());
    const QByteArray body = paragraphs(document, tables);
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n" + tables.fontTable() + "\r\n"
        + tables.colorTable() + "\r\n" + body + "\r\n}\r\n";
}

} // namespace RtfWriter
