#include "chat/ColorNumber.h"
#include "support/RtfReader.h"
#include "ui/Transcript.h"
#include "urdu/UrduGlyphFont.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

// The saved transcript as a word processor reads it back: fonts, sizes, colours, bold,
// italic and alignment of every run, the text in the file's code page or as Unicode
// escapes, and Urdu runs as their glyph bytes in a symbol font.
class tst_RtfWriter : public QObject
{
    Q_OBJECT

private:
    static QStringList saved(const Transcript &transcript)
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("transcript.rtf"));
        QFile file(name);
        if (!transcript.saveAs(name) || !file.open(QIODevice::ReadOnly))
            return { QStringLiteral("not saved") };
        const RtfReader::Document document = RtfReader::read(file.readAll());
        if (!document.valid)
            return { QStringLiteral("not valid RTF") };
        QStringList runs;
        for (const RtfReader::Run &run : document.runs)
            runs << describe(run.symbol
                    ? QStringLiteral("glyphs ") + QString::fromLatin1(run.glyphs.toHex(' '))
                    : run.text,
                run.fontName, run.halfPoints, run.color, run.bold, run.italic,
                run.alignment == Qt::AlignRight);
        return runs;
    }

    static QString describe(const QString &text, const QString &font, int halfPoints,
        const QColor &color, bool bold, bool italic, bool right)
    {
        return text + u'|' + font + u'|' + QString::number(halfPoints) + u'|' + color.name()
            + (bold ? QStringLiteral(" bold") : QString())
            + (italic ? QStringLiteral(" italic") : QString())
            + (right ? QStringLiteral(" right") : QString());
    }

private slots:
    // Text, font name and attributes of one run survive the file, RTF specials included.
    void oneRun_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::addColumn<qint32>("color");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("alignment");
        QTest::newRow("ascii with rtf specials")
            << QStringLiteral("a\\b {c} \\par d\tx") << QStringLiteral("Tahoma") << qint32(0)
            << false << false << int(Transcript::Left);
        QTest::newRow("windows-1252")
            << QStringLiteral("caf\u00e9 \u2013 \u201cquoted\u201d \u20ac \u00ff")
            << QStringLiteral("Arial") << qint32(255) << true << false << int(Transcript::Left);
        QTest::newRow("beyond windows-1252")
            << QStringLiteral("\u03a9 \u4e2d \U0001F600 \uFFFD \u0081") << QStringLiteral("Arial")
            << qint32(0xFF0000) << false << true << int(Transcript::Right);
        QTest::newRow("font name with rtf specials")
            << QStringLiteral("intact") << QStringLiteral("Evil}{\\par;Font") << qint32(0xC4382D)
            << true << true << int(Transcript::Left);
    }
    void oneRun()
    {
        QFETCH(QString, text);
        QFETCH(QString, font);
        QFETCH(qint32, color);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(int, alignment);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(text, font, 11, color, bold, italic, alignment);
        // A semicolon would end the font table entry; no installed font has one.
        QCOMPARE(saved(transcript),
            QStringList { describe(text, QString(font).remove(u';'), 22,
                ColorNumber::toColor(color), bold, italic, alignment == Transcript::Right) });
    }

    // Every glyph code a reader could mistake for RTF, and the upper half of the code table,
    // come back as the same bytes in a symbol-charset font.
    void urduGlyphBytes()
    {
        QByteArray glyphs(" \\{}\\' ");
        for (int code = 33; code < 256; ++code)
            glyphs += char(code);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(UrduGlyphFont::toDisplay(glyphs), QStringLiteral("Qirtas1"), 14,
            0, true, false, Transcript::Right);
        QCOMPARE(saved(transcript),
            QStringList {
                describe(QStringLiteral("glyphs ") + QString::fromLatin1(glyphs.toHex(' ')),
                    QStringLiteral("Qirtas1"), 28, Qt::black, true, false, true) });
    }

    // Two messages: runs in order with their own attributes, nothing leaking into the next,
    // every line of the Urdu body right-aligned, each header in a left paragraph.
    void chatRoundTrip()
    {
        QTextEdit box;
        Transcript transcript(&box);
        const auto header = [&](const QString &nickname, qint32 color) {
            transcript.AppendStyledRun(
                QStringLiteral("\r\n") + nickname + QStringLiteral(" Says : \r\n"),
                QStringLiteral("Arial"), 10, color, true, false, Transcript::Left);
        };
        header(QStringLiteral("ali"), 4954117);
        transcript.AppendStyledRun(UrduGlyphFont::toDisplay("\xc1\xc2 \x5c")
                + QStringLiteral("\r\n") + UrduGlyphFont::toDisplay("\x7b\x7d")
                + QStringLiteral("\r\n"),
            QStringLiteral("Qirtas1"), 16, 0, false, true, Transcript::Right);
        header(QStringLiteral("bo"), 9978225);
        transcript.AppendStyledRun(QStringLiteral("   hi"), QStringLiteral("Times New Roman"), 13,
            0xFF, false, false, Transcript::Left);

        const QColor green(5, 152, 75);
        const QColor purple(113, 65, 152);
        QCOMPARE(saved(transcript),
            (QStringList {
                describe(QStringLiteral("\r\nali Says : \r\n"), QStringLiteral("Arial"), 20, green,
                    true, false, false),
                describe(QStringLiteral("glyphs c1 c2 20 5c 0d 0a 7b 7d 0d 0a"),
                    QStringLiteral("Qirtas1"), 32, Qt::black, false, true, true),
                // the empty paragraph after the body, which the next header set left
                describe(QStringLiteral("\r\nbo Says : \r\n"), QStringLiteral("Arial"), 20, purple,
                    true, false, false),
                describe(QStringLiteral("   hi"), QStringLiteral("Times New Roman"), 26, Qt::red,
                    false, false, false),
            }));
    }
};

QTEST_MAIN(tst_RtfWriter)
#include "tst_RtfWriter.moc"
