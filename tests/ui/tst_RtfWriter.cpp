#include "controls/ColorNumber.h"
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
    static RtfReader::Document saved(const Transcript &transcript)
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(u"transcript.rtf"_qs);
        if (!transcript.saveAs(name))
            return {};
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return RtfReader::read(file.readAll());
    }

private slots:
    void oneRun_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("size");
        QTest::addColumn<qint32>("color");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("alignment");
        QTest::newRow("ascii with rtf specials")
            << u"a\\b {c} \\par d"_qs << u"Tahoma"_qs << 10 << qint32(0) << false << false
            << int(Transcript::Left);
        QTest::newRow("windows-1252")
            << u"caf\u00e9 \u2013 \u201cquoted\u201d \u20ac 5 \u00ff"_qs << u"Arial"_qs << 12
            << qint32(255) << true << false << int(Transcript::Left);
        QTest::newRow("beyond windows-1252")
            << u"\u03a9 \u4e2d \U0001F600 \uFFFD \u0081"_qs << u"Arial"_qs << 9 << qint32(0xFF0000)
            << false << true << int(Transcript::Right);
        QTest::newRow("html stays text") << u"<b>x</b> &amp;"_qs << u"Arial"_qs << 10 << qint32(0)
                                         << false << false << int(Transcript::Left);
        QTest::newRow("font name with rtf specials")
            << u"intact"_qs << u"Evil}{\\par;Font"_qs << 11 << qint32(0x00C4382D) << true << true
            << int(Transcript::Left);
        QTest::newRow("non-ascii font name")
            << u"x"_qs << u"Schriftart \u00c4\u03a9"_qs << 10 << qint32(0) << false << false
            << int(Transcript::Left);
    }
    void oneRun()
    {
        QFETCH(QString, text);
        QFETCH(QString, font);
        QFETCH(int, size);
        QFETCH(qint32, color);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(int, alignment);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(text, font, size, color, bold, italic, alignment);

        const RtfReader::Document document = saved(transcript);
        QVERIFY(document.valid);
        QCOMPARE(document.runs.size(), 1);
        const RtfReader::Run run = document.runs.first();
        QCOMPARE(run.text, text);
        QCOMPARE(run.fontName, QString(font).remove(u';'));
        QCOMPARE(run.symbol, false);
        QCOMPARE(run.halfPoints, size * 2);
        QCOMPARE(run.color, ColorNumber::toColor(color));
        QCOMPARE(run.bold, bold);
        QCOMPARE(run.italic, italic);
        QCOMPARE(run.alignment, alignment == Transcript::Right ? Qt::AlignRight : Qt::AlignLeft);
    }

    // Every glyph code that a reader could mistake for RTF, and the upper half of the code
    // table, come back as the same bytes in a symbol-charset font entry.
    void urduGlyphBytes()
    {
        QByteArray glyphs;
        for (int code = 33; code < 256; ++code)
            glyphs += char(code);
        glyphs += " \\{}\\' ";
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(UrduGlyphFont::toDisplay(glyphs), u"Qirtas1"_qs, 14, 0x80000008,
            true, false, Transcript::Right);

        const RtfReader::Document document = saved(transcript);
        QVERIFY(document.valid);
        QCOMPARE(document.runs.size(), 1);
        QCOMPARE(document.runs[0].symbol, true);
        QCOMPARE(document.runs[0].fontName, u"Qirtas1"_qs);
        QCOMPARE(document.runs[0].glyphs, glyphs);
        QCOMPARE(document.runs[0].alignment, Qt::AlignRight);
        QCOMPARE(document.runs[0].bold, true);
    }

    // A chat of two messages: the runs come back in order with their own attributes, nothing
    // leaks from one to the next, and each paragraph keeps its alignment.
    void chatRoundTrip()
    {
        QTextEdit box;
        Transcript transcript(&box);
        const auto header = [&](const QString &nickname, qint32 color) {
            transcript.AppendStyledRun(u"\r\n"_qs + nickname + u" Says : \r\n"_qs, u"Arial"_qs, 10,
                color, true, false, Transcript::Left);
        };
        header(u"ali"_qs, 4954117);
        transcript.AppendStyledRun(UrduGlyphFont::toDisplay("\xc1\xc2 \x5c") + u"\r\n"_qs
                + UrduGlyphFont::toDisplay("\x7b\x7d") + u"\r\n"_qs,
            u"Qirtas1"_qs, 16, 0, false, true, Transcript::Right);
        header(u"bo"_qs, 9978225);
        transcript.AppendStyledRun(
            u"   hi"_qs, u"Times New Roman"_qs, 13, 0xFF, false, false, Transcript::Left);

        const RtfReader::Document document = saved(transcript);
        QVERIFY(document.valid);
        struct Expected
        {
            QString text;
            QByteArray glyphs;
            QString font;
            QColor color;
            bool bold;
            bool italic;
            Qt::Alignment alignment;
        };
        const QColor green(5, 152, 75);
        const QColor purple(113, 65, 152);
        const QList<Expected> expected {
            { u"\r\n"_qs, {}, u"Arial"_qs, green, true, false, Qt::AlignLeft },
            { u"ali Says : \r\n"_qs, {}, u"Arial"_qs, green, true, false, Qt::AlignLeft },
            { {}, "\xc1\xc2 \x5c\r\n", u"Qirtas1"_qs, QColor(0, 0, 0), false, true,
                Qt::AlignRight },
            { {}, "\x7b\x7d\r\n", u"Qirtas1"_qs, QColor(0, 0, 0), false, true, Qt::AlignRight },
            // the empty paragraph after the body: the next header set it left
            { u"\r\n"_qs, {}, u"Arial"_qs, purple, true, false, Qt::AlignLeft },
            { u"bo Says : \r\n"_qs, {}, u"Arial"_qs, purple, true, false, Qt::AlignLeft },
            { u"   hi"_qs, {}, u"Times New Roman"_qs, QColor(255, 0, 0), false, false,
                Qt::AlignLeft },
        };
        QCOMPARE(document.runs.size(), expected.size());
        for (qsizetype index = 0; index < expected.size(); ++index) {
            const RtfReader::Run &run = document.runs[index];
            const Expected &want = expected[index];
            QCOMPARE(run.text, want.text);
            QCOMPARE(run.glyphs, want.glyphs);
            QCOMPARE(run.fontName, want.font);
            QCOMPARE(run.color, want.color);
            QCOMPARE(run.bold, want.bold);
            QCOMPARE(run.italic, want.italic);
            QCOMPARE(run.alignment, want.alignment);
        }
        QCOMPARE(box.toPlainText().replace(u'\n', u"\r\n"_qs), transcript.plainText());
    }
};

QTEST_MAIN(tst_RtfWriter)
#include "tst_RtfWriter.moc"
