#include "ui/UrduRuns.h"

#include "urdu/NastaliqFont.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace UrduRuns {

namespace {

    // Where a Nastaliq run keeps what it had in Naskh.
    enum Property : int {
        GlyphsShown = QTextFormat::UserProperty + 1,
        GlyphFamilies,
        GlyphPointSize,
    };

    QTextCharFormat nastaliqFormat(const QTextCharFormat &naskh, const QString &glyphsShown)
    {
        QTextCharFormat nastaliq = naskh;
        nastaliq.setProperty(GlyphsShown, glyphsShown);
        nastaliq.setProperty(GlyphFamilies, naskh.property(QTextFormat::FontFamilies));
        nastaliq.setProperty(GlyphPointSize, naskh.property(QTextFormat::FontPointSize));
        nastaliq.setFontFamilies(QStringList { NastaliqFont::family() });
        nastaliq.setFontStyleName(
            naskh.fontWeight() >= QFont::Bold ? QStringLiteral("Bold") : QStringLiteral("Regular"));
        nastaliq.setFontPointSize(NastaliqFont::pointSize(naskh.fontPointSize()));
        nastaliq.setFontHintingPreference(QFont::PreferNoHinting);
        return nastaliq;
    }

    // A run's text and format in the script; false when it is no Urdu run, or one that reads
    // as nothing and so stays in its glyphs.
    bool inScript(UrduScript script, QString &text, QTextCharFormat &format)
    {
        if (script == UrduScript::Nastaliq && holdsGlyphs(format)) {
            const QString reading = UrduUnicode::fromGlyphs(UrduGlyphFont::fromDisplay(text));
            if (reading.isEmpty())
                return false;
            format = nastaliqFormat(format, text);
            text = reading;
            return true;
        }
        if (script == UrduScript::Naskh && isNastaliq(format)) {
            text = glyphsShown(format);
            format = naskhFormat(format);
            return true;
        }
        return false;
    }

    // Right-to-left paragraphs keep a Nastaliq line's signs at its ends where Urdu puts them.
    void redrawBlock(QTextCursor &cursor, const QTextBlock &block, UrduScript script)
    {
        struct Run
        {
            int position;
            int length;
            QString text;
            QTextCharFormat format;
        };
        QList<Run> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            Run run { fragment.position(), fragment.length(), fragment.text(),
                fragment.charFormat() };
            if (inScript(script, run.text, run.format))
                runs.append(run);
        }
        // From the last, so that the places of the runs before stay.
        for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
            cursor.setPosition(run->position);
            cursor.setPosition(run->position + run->length, QTextCursor::KeepAnchor);
            cursor.insertText(run->text, run->format);
        }
        cursor.setPosition(block.position());
        QString none;
        QTextCharFormat breakFormat = block.charFormat();
        if (inScript(script, none = QStringLiteral(" "), breakFormat))
            cursor.setBlockCharFormat(breakFormat);
        if (runs.isEmpty())
            return;
        QTextBlockFormat paragraph = block.blockFormat();
        paragraph.setLayoutDirection(
            script == UrduScript::Nastaliq ? Qt::RightToLeft : Qt::LeftToRight);
        cursor.setBlockFormat(paragraph);
    }

} // namespace

bool holdsGlyphs(const QTextCharFormat &format)
{
    return format.fontFamilies().toStringList().value(0).startsWith(UrduGlyphFont::familyPrefix());
}

bool isNastaliq(const QTextCharFormat &format)
{
    return format.hasProperty(GlyphsShown);
}

QString glyphsShown(const QTextCharFormat &format)
{
    return format.stringProperty(GlyphsShown);
}

QTextCharFormat naskhFormat(const QTextCharFormat &format)
{
    if (!isNastaliq(format))
        return format;
    QTextCharFormat naskh = format;
    naskh.setProperty(QTextFormat::FontFamilies, format.property(GlyphFamilies));
    naskh.setProperty(QTextFormat::FontPointSize, format.property(GlyphPointSize));
    for (const int property : { int(GlyphsShown), int(GlyphFamilies), int(GlyphPointSize),
             int(QTextFormat::FontStyleName), int(QTextFormat::FontHintingPreference) })
        naskh.clearProperty(property);
    return naskh;
}

void redraw(QTextDocument &document, int from, UrduScript script)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (int number = document.findBlock(from).blockNumber(); number < document.blockCount();
         ++number)
        redrawBlock(cursor, document.findBlockByNumber(number), script);
    cursor.endEditBlock();
}

} // namespace UrduRuns
