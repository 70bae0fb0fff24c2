#include "support/TestFiles.h"
#include "support/TranscriptRuns.h"
#include "ui/Transcript.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

// What the transcript shows: a partner's sizes, fonts and text, the session banner
// and the user-information blocks; following the newest text; Save As and printing.
class tst_Transcript : public QObject
{
    Q_OBJECT

    static QStringList runs(const QTextEdit &box) { return TranscriptRuns::of(*box.document()); }

private slots:
    // Whatever a partner sends as text, font or size, the text is shown as it came.
    void partnerInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shownSize");
        const int fallback = QTextEdit().document()->defaultFont().pointSize();
        QTest::newRow("html") << QStringLiteral("<b>bold?</b> <img src=\"x.png\"> &amp;")
                              << QStringLiteral("Arial") << 13 << 13;
        QTest::newRow("size that did not decode")
            << QStringLiteral("   hi") << QStringLiteral("Arial") << 0 << fallback;
        QTest::newRow("enormous size")
            << QStringLiteral("   hi") << QStringLiteral("Arial") << 32767 << 1638;
        QTest::newRow("font the desktop lacks")
            << QStringLiteral("   hi") << QStringLiteral("No Such Font 123") << 10 << 10;
    }
    void partnerInput()
    {
        QFETCH(QString, text);
        QFETCH(QString, font);
        QFETCH(int, size);
        QFETCH(int, shownSize);
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(text, font, size, 0, false, false, Transcript::Left);
        QCOMPARE(transcript.plainText(), text);
        QCOMPARE(runs(box),
            QStringList {
                QStringLiteral("L %1 %2 #000000 \"%3\"").arg(font).arg(shownSize).arg(text) });
    }

    // The banner's date and time, in English on a 12-hour clock, in their own colour.
    void banner_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("opened in the afternoon")
            << 127 << QDateTime(QDate(2002, 1, 9), QTime(16, 5, 7))
            << QStringList { QStringLiteral("|"),
                   QStringLiteral("L Tahoma 10 #000000 \"Chat Session Opened on \""),
                   QStringLiteral("L Tahoma 10 #9b0247 \"Wed, January 09, 2002\""),
                   QStringLiteral("L Tahoma 10 #000000 \" at \""),
                   QStringLiteral("L Tahoma 10 #9b0247 \"04:05:07 PM\"") };
        QTest::newRow("closed just after midnight")
            << 128 << QDateTime(QDate(2026, 12, 6), QTime(0, 0, 9))
            << QStringList { QStringLiteral("|"),
                   QStringLiteral("L Tahoma 10 #000000 \"Chat Session Closed on \""),
                   QStringLiteral("L Tahoma 10 #9b0247 \"Sun, December 06, 2026\""),
                   QStringLiteral("L Tahoma 10 #000000 \" at \""),
                   QStringLiteral("L Tahoma 10 #9b0247 \"12:00:09 AM\"") };
    }
    void banner()
    {
        QFETCH(int, id);
        QFETCH(QDateTime, now);
        QFETCH(QStringList, expected);
        QTextEdit box;
        Transcript transcript(
            &box, [now] { return now; }, QLocale(QLocale::English, QLocale::UnitedStates));
        transcript.WriteSessionBanner(id);
        QCOMPARE(runs(box), expected);
    }

    // The box scrolls so that the newest line is in view.
    void viewFollowsNewestText()
    {
        QTextEdit box;
        box.resize(200, 100);
        box.show();
        Transcript transcript(&box);
        for (int line = 0; line < 50; ++line)
            transcript.AppendRun(QStringLiteral("\r\nline"), 0, QStringLiteral("Tahoma"), 10);
        QCoreApplication::processEvents();
        QVERIFY(box.verticalScrollBar()->value() > 0);
        QVERIFY(box.viewport()->rect().contains(
            box.cursorRect(QTextCursor(box.document()->lastBlock()))));
    }

    // A cancelled dialog (no name) or a target that cannot be written writes nothing; an
    // existing file is replaced, and no extension is added.
    void saveAs_data()
    {
        QTest::addColumn<QString>("target"); // relative to a fresh temporary folder
        QTest::addColumn<bool>("saved");
        QTest::newRow("no file name") << QString() << false;
        QTest::newRow("folder that does not exist") << QStringLiteral("missing/chat.rtf") << false;
        QTest::newRow("an existing folder") << QStringLiteral(".") << false;
        QTest::newRow("existing file, no extension") << QStringLiteral("old") << true;
    }
    void saveAs()
    {
        QFETCH(QString, target);
        QFETCH(bool, saved);
        QTemporaryDir folder;
        const QString old
            = TestFiles::write(folder.filePath(QStringLiteral("old")), QByteArray(10000, 'x'));
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendRun(QStringLiteral("kept"), 0, QStringLiteral("Tahoma"), 10);

        QCOMPARE(transcript.saveAs(target.isEmpty() ? target : folder.filePath(target)), saved);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { QStringLiteral("old") });
        QCOMPARE(TestFiles::read(old).startsWith("{\\rtf1"), saved);
        QCOMPARE(transcript.plainText(), QStringLiteral("kept"));
    }

    // Printing produces a real document with at least one page.
    void printsToPdf()
    {
        QTemporaryDir folder;
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendRun(
            QStringLiteral("\r\nali Says : \r\n   hello"), 0, QStringLiteral("Arial"), 10);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("transcript.pdf")));
        transcript.print(printer);
        QFile pdf(printer.outputFileName());
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray content = pdf.readAll();
        QVERIFY(content.startsWith("%PDF-"));
        QVERIFY(content.contains("/Type /Page"));
    }
};

QTEST_MAIN(tst_Transcript)
#include "tst_Transcript.moc"
