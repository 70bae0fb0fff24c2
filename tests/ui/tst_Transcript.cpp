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

private:
    // Each run of the box as "text|font|points|#rrggbb" with " bold" and " italic" after it.
    static QStringList runs(const QTextEdit &box)
    {
        QStringList shown;
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                shown << it.fragment().text() + u'|' + format.fontFamilies().toStringList().value(0)
                        + u'|' + QString::number(format.fontPointSize()) + u'|'
                        + format.foreground().color().name()
                        + (format.fontWeight() == QFont::Bold ? u" bold"_qs : QString())
                        + (format.fontItalic() ? u" italic"_qs : QString());
            }
        }
        return shown;
    }

private slots:
    // Whatever a partner sends as text, font or size, the text is shown as it came.
    void partnerInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shownSize");
        const int fallback = QTextEdit().document()->defaultFont().pointSize();
        QTest::newRow("html") << u"<b>bold?</b> <img src=\"x.png\"> &amp;"_qs << u"Arial"_qs << 13
                              << 13;
        QTest::newRow("size that did not decode") << u"   hi"_qs << u"Arial"_qs << 0 << fallback;
        QTest::newRow("enormous size") << u"   hi"_qs << u"Arial"_qs << 32767 << 1638;
        QTest::newRow("font the desktop lacks")
            << u"   hi"_qs << u"No Such Font 123"_qs << 10 << 10;
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
                text + u'|' + font + u'|' + QString::number(shownSize) + u"|#000000"_qs });
    }

    // The banner's date and time, in English on a 12-hour clock, in their own colour.
    void banner_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("opened in the afternoon")
            << 127 << QDateTime(QDate(2002, 1, 9), QTime(16, 5, 7))
            << QStringList { u"Chat Session Opened on |Tahoma|10|#000000"_qs,
                   u"Wed, January 09, 2002|Tahoma|10|#9b0247"_qs, u" at |Tahoma|10|#000000"_qs,
                   u"04:05:07 PM|Tahoma|10|#9b0247"_qs };
        QTest::newRow("closed just after midnight")
            << 128 << QDateTime(QDate(2026, 12, 6), QTime(0, 0, 9))
            << QStringList { u"Chat Session Closed on |Tahoma|10|#000000"_qs,
                   u"Sun, December 06, 2026|Tahoma|10|#9b0247"_qs, u" at |Tahoma|10|#000000"_qs,
                   u"12:00:09 AM|Tahoma|10|#9b0247"_qs };
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
        QVERIFY(transcript.plainText().startsWith(u"\r\nChat Session "_qs));
    }

    // A peer's values, markup included, show as plain text in the block's shape.
    void informationBlock_data()
    {
        QTest::addColumn<int>("heading");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
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
        const QStringList shown = runs(box);
        QCOMPARE(shown.value(0).section(u'|', 1), u"Arial Black|10|#000000"_qs);
        QCOMPARE(shown.value(1), u"IP Address : |Tahoma|10|#000000"_qs);
        QCOMPARE(shown.value(2), values[0] + u"|Tahoma|10|#2d38c4"_qs);
        QCOMPARE(shown.value(4), values[1] + u"|Tahoma|10|#2d38c4"_qs);
    }

    // The box scrolls so that the newest line is in view.
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
        QTest::newRow("folder that does not exist") << u"missing/chat.rtf"_qs << false;
        QTest::newRow("an existing folder") << u"."_qs << false;
        QTest::newRow("existing file, no extension") << u"old"_qs << true;
    }
    void saveAs()
    {
        QFETCH(QString, target);
        QFETCH(bool, saved);
        QTemporaryDir folder;
        QFile old(folder.filePath(u"old"_qs));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(10000, 'x')) == 10000);
        old.close();
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendRun(u"kept"_qs, 0, u"Tahoma"_qs, 10);

        QCOMPARE(transcript.saveAs(target.isEmpty() ? target : folder.filePath(target)), saved);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { u"old"_qs });
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll().startsWith("{\\rtf1"), saved);
        QCOMPARE(transcript.plainText(), u"kept"_qs);
    }

    // Printing produces a real document with at least one page.
    void printsToPdf()
    {
        QTemporaryDir folder;
        QTextEdit box;
        Transcript transcript(&box);
        transcript.AppendStyledRun(
            u"\r\nali Says : \r\n"_qs, u"Arial"_qs, 10, 4954117, true, false, Transcript::Left);
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
    }
};

QTEST_MAIN(tst_Transcript)
#include "tst_Transcript.moc"
