#include "controls/ColorNumber.h"
#include "ui/Transcript.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

// What the transcript shows: runs with exactly the attributes given, paragraph alignment,
// the session banner and the user-information blocks, a partner's text kept literal, and
// printing.
class tst_Transcript : public QObject
{
    Q_OBJECT

private:
    struct Shown
    {
        QString text;
        QString font;
        int points;
        QColor color;
        bool bold;
        bool italic;
    };

    // The document's runs as the box holds them, paragraph breaks left out.
    static QList<Shown> runs(const QTextEdit &box)
    {
        QList<Shown> shown;
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                shown.append({ it.fragment().text(), format.fontFamilies().toStringList().value(0),
                    int(format.fontPointSize()), format.foreground().color(),
                    format.fontWeight() == QFont::Bold, format.fontItalic() });
            }
        }
        return shown;
    }

    static QList<Qt::Alignment> alignments(const QTextEdit &box)
    {
        QList<Qt::Alignment> all;
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
            all.append(block.blockFormat().alignment() & (Qt::AlignLeft | Qt::AlignRight));
        return all;
    }

    static QDateTime at(int year, int month, int day, int hour, int minute, int second)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
    }

private slots:
    void runsKeepTheirOwnAttributes()
    {
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(
            u"\r\nAli Says : \r\n"_qs, u"Arial"_qs, 10, 4954117, true, true, Transcript::Right);
        transcript.AppendRun(u"plain"_qs, 255, u"Tahoma"_qs, 12);

        const QList<Shown> shown = runs(box);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, u"Ali Says : "_qs);
        QCOMPARE(shown[0].bold, true);
        QCOMPARE(shown[0].italic, true);
        QCOMPARE(shown[1].text, u"plain"_qs);
        QCOMPARE(shown[1].font, u"Tahoma"_qs);
        QCOMPARE(shown[1].points, 12);
        QCOMPARE(shown[1].color, QColor(255, 0, 0));
        QCOMPARE(shown[1].bold, false);
        QCOMPARE(shown[1].italic, false);
        // The plain run went into the paragraph the header's last CR LF opened, and set it left.
        QCOMPARE(alignments(box),
            (QList<Qt::Alignment> { Qt::AlignRight, Qt::AlignRight, Qt::AlignLeft }));
        QCOMPARE(transcript.plainText(), u"\r\nAli Says : \r\nplain"_qs);
    }

    // An Urdu body is right-aligned on every one of its lines; the next header's CR LF
    // opens its own left paragraph and leaves the body's lines alone.
    void urduBodyIsRightAlignedOnEveryLine()
    {
        QTextEdit box;
        Transcript transcript(&box);
        const auto header = [&] {
            transcript.AppendStyledRun(
                u"\r\nAli Says : \r\n"_qs, u"Arial"_qs, 10, 9978225, true, false, Transcript::Left);
        };
        header();
        transcript.AppendStyledRun(QString(QChar(0xF0C1)) + u"\r\n"_qs + QChar(0xF0C2) + u"\r\n"_qs,
            u"Qirtas1"_qs, 14, 0, false, false, Transcript::Right);
        header();
        transcript.AppendStyledRun(u"   hi"_qs, u"Arial"_qs, 9, 0, false, false, Transcript::Left);

        using A = Qt::Alignment;
        // "", header, body line 1, body line 2, "" (set left by the header), header, English body
        QCOMPARE(alignments(box),
            (QList<A> { A(Qt::AlignLeft), A(Qt::AlignLeft), A(Qt::AlignRight), A(Qt::AlignRight),
                A(Qt::AlignLeft), A(Qt::AlignLeft), A(Qt::AlignLeft) }));
    }

    void colorNumbers_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QColor>("expected");
        const QPalette palette = QGuiApplication::palette();
        QTest::newRow("red is the low byte") << qint32(255) << QColor(255, 0, 0);
        QTest::newRow("blue is the third byte") << qint32(0xFF0000) << QColor(0, 0, 255);
        QTest::newRow("banner crimson") << qint32(4653723) << QColor(155, 2, 71);
        QTest::newRow("window text") << ColorNumber::WindowText << palette.color(QPalette::Text);
        QTest::newRow("window background")
            << ColorNumber::WindowBackground << palette.color(QPalette::Base);
    }
    void colorNumbers()
    {
        QFETCH(qint32, number);
        QFETCH(QColor, expected);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendRun(u"x"_qs, number, u"Tahoma"_qs, 10);
        QCOMPARE(runs(box).value(0).color, expected);
    }

    // A partner chooses size and font; neither may lose the text.
    void partnerSizesAndFonts_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("shownSize");
        const int fallback = QTextEdit().document()->defaultFont().pointSize();
        QTest::newRow("ordinary") << 13 << u"Arial"_qs << 13;
        QTest::newRow("size that did not decode") << 0 << u"Arial"_qs << fallback;
        QTest::newRow("negative size") << -5 << u"Arial"_qs << fallback;
        QTest::newRow("enormous size") << 32767 << u"Arial"_qs << 1638;
        QTest::newRow("font the desktop lacks") << 10 << u"No Such Font 123"_qs << 10;
        QTest::newRow("empty font name") << 10 << QString() << 10;
    }
    void partnerSizesAndFonts()
    {
        QFETCH(int, size);
        QFETCH(QString, font);
        QFETCH(int, shownSize);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(u"   hello"_qs, font, size, 0, false, false, Transcript::Left);
        QCOMPARE(transcript.plainText(), u"   hello"_qs);
        QCOMPARE(runs(box).value(0).points, shownSize);
    }

    void markupLookingTextStaysLiteral_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("html")
            << u"<b>bold?</b> <img src=\"x.png\"> &amp; <a href=\"http://x\">x</a>"_qs;
        QTest::newRow("rich text header")
            << u"<!DOCTYPE HTML><html><body><h1>big</h1></body></html>"_qs;
        QTest::newRow("rtf") << u"{\\rtf1 {\\b bold}}\\par"_qs;
    }
    void markupLookingTextStaysLiteral()
    {
        QFETCH(QString, text);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(text, u"Arial"_qs, 10, 0, false, false, Transcript::Left);
        QCOMPARE(transcript.plainText(), text);
        QCOMPARE(runs(box).size(), 1);
        QCOMPARE(runs(box).value(0).bold, false);
    }

    void banner_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        QTest::newRow("opened in the afternoon")
            << 127 << at(2002, 1, 9, 16, 5, 7)
            << u"\r\nChat Session Opened on Wed, January 09, 2002 at 04:05:07 PM"_qs;
        QTest::newRow("closed just after midnight")
            << 128 << at(2026, 12, 6, 0, 0, 9)
            << u"\r\nChat Session Closed on Sun, December 06, 2026 at 12:00:09 AM"_qs;
        QTest::newRow("noon")
            << 128 << at(2024, 2, 29, 12, 30, 0)
            << u"\r\nChat Session Closed on Thu, February 29, 2024 at 12:30:00 PM"_qs;
    }
    void banner()
    {
        QFETCH(int, id);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        QTextEdit box;
        Transcript transcript(
            &box, [now] { return now; }, QLocale(QLocale::English, QLocale::UnitedStates));
        transcript.WriteSessionBanner(id);
        QCOMPARE(transcript.plainText(), expected);

        const QColor black(0, 0, 0);
        const QColor crimson(155, 2, 71);
        const QList<Shown> shown = runs(box);
        QCOMPARE(shown.size(), 4);
        QCOMPARE((QList<QColor> { shown[0].color, shown[1].color, shown[2].color, shown[3].color }),
            (QList<QColor> { black, crimson, black, crimson }));
        QCOMPARE(shown[2].text, u" at "_qs);
        for (const Shown &run : shown)
            QCOMPARE(run.font, u"Tahoma"_qs);
    }

    void informationBlock_data()
    {
        QTest::addColumn<int>("heading");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("local")
            << 112 << QStringList { u"10.0.0.1"_qs, u"ali"_qs, u"Ali Raza"_qs, u"ali@x.pk"_qs }
            << u"\r\n\r\nLocal User Information;\r\nIP Address : 10.0.0.1\r\nNickName : ali"
               "\r\nFull Name : Ali Raza\r\nEmail Address : ali@x.pk"_qs;
        QTest::newRow("remote, empty values keep the shape")
            << 111 << QStringList { u"10.0.0.2"_qs, u"<b>bo</b>"_qs, QString(), QString() }
            << u"\r\n\r\nRemote User Information;\r\nIP Address : 10.0.0.2\r\nNickName : <b>bo</b>"
               "\r\nFull Name : \r\nEmail Address : "_qs;
    }
    void informationBlock()
    {
        QFETCH(int, heading);
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.writeUserInformation(heading, values[0], values[1], values[2], values[3]);
        QCOMPARE(transcript.plainText(), expected);

        const QList<Shown> shown = runs(box);
        QCOMPARE(shown.value(0).font, u"Arial Black"_qs);
        QCOMPARE(shown.value(1).text, u"IP Address : "_qs);
        QCOMPARE(shown.value(1).color, QColor(0, 0, 0));
        QCOMPARE(shown.value(2).text, values[0]);
        QCOMPARE(shown.value(2).color, QColor(45, 56, 196));
        QCOMPARE(shown.value(4).text, values[1]);
        QCOMPARE(shown.value(4).color, QColor(45, 56, 196));
        for (const Shown &run : shown.mid(1))
            QCOMPARE(run.font, u"Tahoma"_qs);
    }

    void clearStartsAfresh()
    {
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(
            u"urdu"_qs, u"Qirtas1"_qs, 14, 0, true, false, Transcript::Right);
        transcript.clear();
        transcript.AppendRun(u"\r\nnext"_qs, 0, u"Tahoma"_qs, 10);
        QCOMPARE(transcript.plainText(), u"\r\nnext"_qs);
        QCOMPARE(alignments(box), (QList<Qt::Alignment> { Qt::AlignLeft, Qt::AlignLeft }));
    }

    void viewFollowsNewestText()
    {
        QTextEdit box;
        box.resize(200, 100);
        box.show();
        Transcript transcript(&box);
        for (int line = 0; line < 50; ++line)
            transcript.AppendRun(u"\r\nline"_qs, 0, u"Tahoma"_qs, 10);
        QCoreApplication::processEvents();
        QVERIFY(box.verticalScrollBar()->value() > 0);
        QVERIFY(box.viewport()->rect().contains(box.cursorRect(QTextCursor(box.document()->lastBlock()))));
    }

    void saveAsRefusals_data()
    {
        QTest::addColumn<QString>("target"); // relative to a fresh temporary folder
        QTest::newRow("no file name (cancelled dialog)") << QString();
        QTest::newRow("folder that does not exist") << u"missing/transcript.rtf"_qs;
        QTest::newRow("an existing folder") << u"."_qs;
    }
    void saveAsRefusals()
    {
        QFETCH(QString, target);
        QTemporaryDir folder;
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendRun(u"kept"_qs, 0, u"Tahoma"_qs, 10);
        QCOMPARE(transcript.saveAs(target.isEmpty() ? target : folder.filePath(target)), false);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(transcript.plainText(), u"kept"_qs);
    }

    void saveAsReplacesAnExistingFile()
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(u"chat"_qs); // no extension is added
        QFile old(name);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'x'));
        old.close();
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendRun(u"new"_qs, 0, u"Tahoma"_qs, 10);
        QVERIFY(transcript.saveAs(name));
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray saved = old.readAll();
        QVERIFY(saved.startsWith("{\\rtf1"));
        QVERIFY(!saved.contains('x'));
        QVERIFY(!QFile::exists(name + u".rtf"_qs));
    }

    void printsToPdf()
    {
        QTemporaryDir folder;
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(
            u"\r\nAli Says : \r\n"_qs, u"Arial"_qs, 10, 4954117, true, false, Transcript::Left);
        transcript.AppendStyledRun(
            u"   hello"_qs, u"Arial"_qs, 12, 255, false, true, Transcript::Left);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"transcript.pdf"_qs));
        transcript.print(printer);
        QFile pdf(printer.outputFileName());
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray content = pdf.readAll();
        QVERIFY(content.startsWith("%PDF-"));
        QVERIFY(content.contains("/Type /Page"));
        QCOMPARE(transcript.plainText(), u"\r\nAli Says : \r\n   hello"_qs);
    }
};

QTEST_MAIN(tst_Transcript)
#include "tst_Transcript.moc"
