#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/Transcript.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Two complete copies on 127.0.0.1 and 127.0.0.2 meet the way their users do, through
// menus and dialogs: ali calls, sara accepts, each writes one message (sara in a font and
// colour of her choice), a file goes across, and the sender of the file hangs up.
class tst_Journeys : public QObject
{
    Q_OBJECT

    // Types text and presses Send: both transcripts end with the message runs, under the
    // writer's name, green on the writer's side and purple on the other.
    static void send(
        TestMessenger &from, TestMessenger &to, const QString &text, const QString &body)
    {
        from.type(text);
        const qsizetype before = to.transcriptRuns().size();
        from.window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        QStringList sent = QStringList { QStringLiteral("|"),
            QStringLiteral("L Arial 10 #05984b B \"%1 Says : \"").arg(from.program->LocalNickname),
            QStringLiteral("|") }
            + body.split(u'\n');
        QCOMPARE(from.transcriptRuns().mid(from.transcriptRuns().size() - sent.size()), sent);
        sent.replaceInStrings(QStringLiteral("#05984b"), QStringLiteral("#714198"));
        QTRY_COMPARE(to.transcriptRuns().mid(before), sent);
    }

private slots:
    void journey_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("aliTypes");
        QTest::addColumn<QString>("aliBody"); // the runs of ali's message, one a line
        QTest::addColumn<QVariantList>("saraChooses"); // a font, then a colour
        QTest::addColumn<QString>("saraTypes");
        QTest::addColumn<QString>("saraBody");
        QTest::addColumn<QString>("leaving"); // sends the file, then hangs up through the entry
        QTest::newRow("Urdu, a file to sara, ali hangs up")
            << QString() << QStringLiteral("slam")
            << QStringLiteral("R Qirtas1 12 #000000 \"\uF0C2\uF042\uF0BC\uF06D\"\n|")
            << QVariantList { pickedFont("Qirtas1", 16, false, true), QColor(0, 0, 255) }
            << QStringLiteral("ap") << QStringLiteral("R Qirtas1 16 #0000ff I \"\uF085\uF041\"\n|")
            << QStringLiteral("ali mnuConnect");
        QTest::newRow("English, a file to ali, sara hangs up from the tray")
            << QStringLiteral("mnuEnglish") << QStringLiteral("hi there")
            << QStringLiteral("L Arial 9 #000000 \"   hi there\"")
            << QVariantList { pickedFont("Times", 14, true, true), QColor(255, 0, 0) }
            << QStringLiteral("fine") << QStringLiteral("L Times 14 #ff0000 B I \"   fine\"")
            << QStringLiteral("sara mnuConnectT");
    }
    void journey()
    {
        QFETCH(QString, language);
        QFETCH(QString, aliTypes);
        QFETCH(QString, aliBody);
        QFETCH(QVariantList, saraChooses);
        QFETCH(QString, saraTypes);
        QFETCH(QString, saraBody);
        QFETCH(QString, leaving);
        const auto ports = TestMessenger::freePorts();
        TestMessenger ali(QStringLiteral("127.0.0.1"), ports);
        TestMessenger sara(QStringLiteral("127.0.0.2"), ports);
        ali.startAs(QStringLiteral("ali"));
        sara.startAs(QStringLiteral("sara"));

        QVERIFY(ali.openSessionWith(sara, QStringLiteral("127.0.0.2")));
        QCOMPARE(ali.program->RecentIPs.join(u' ') + u'|' + sara.program->RecentIPs.join(u' '),
            u"127.0.0.2|127.0.0.1");
        for (TestMessenger *side : { &ali, &sara }) {
            QTRY_COMPARE(side->window().statusText(0), QStringLiteral("Connected."));
            side->play(language);
        }
        ali.play(QStringLiteral("mnuRemote mnuLocal"));
        QVERIFY(ali.window().transcript().plainText().endsWith(QStringLiteral(
            "Remote User Information;\r\nIP Address : 127.0.0.2\r\nNickName : sara\r\n"
            "Full Name : sara Khan\r\nEmail Address : sara@example.org\r\n\r\nLocal User "
            "Information;\r\nIP Address : 127.0.0.1\r\nNickName : ali\r\nFull Name : ali Khan\r\n"
            "Email Address : ali@example.org")));
        send(ali, sara, aliTypes, aliBody);
        sara.desktop.dialogAnswers = saraChooses;
        sara.play(QStringLiteral("mnuFont mnuFontColor"));
        send(sara, ali, saraTypes, saraBody);

        TestMessenger &sender = leaving.startsWith(u"ali") ? ali : sara;
        TestMessenger &receiver = &sender == &ali ? sara : ali;
        QTemporaryDir folder;
        const QByteArray content = QByteArray(1200, '\0') + QByteArray(1300, '\xe9');
        receiver.program->DownloadPath = folder.filePath(QStringLiteral("in/"));
        QStringList captions;
        QAction *sendFile = sender.action(QStringLiteral("mnuSendFile"));
        connect(sendFile, &QAction::changed, this, [&] { captions << sendFile->text(); });
        QSignalSpy progress(receiver.window().findChild<QProgressBar *>(QStringLiteral("PBFTP")),
            &QProgressBar::valueChanged);
        QVERIFY(sender.sendFileTo(
            receiver, TestFiles::write(folder.filePath(QStringLiteral("notes.bin")), content)));
        QCOMPARE(TestFiles::read(folder.filePath(QStringLiteral("in/notes.bin"))), content);
        QVERIFY(captions.contains(QStringLiteral("Cancel File &Transfer")));
        QVERIFY(progress.contains(QVariantList { 100 }));

        sender.play(leaving.section(u' ', 1));
        QTRY_VERIFY(ali.listening() && sara.listening());
        for (const TestMessenger *side : { &ali, &sara }) {
            const QString partner = side == &ali ? QStringLiteral("sara {127.0.0.2}")
                                                 : QStringLiteral("ali {127.0.0.1}");
            const QString text = side->window().transcript().plainText();
            QVERIFY(
                text.contains(
                    QStringLiteral("Remote User Nick is %1\r\n").arg(partner.section(u' ', 0, 0)))
                && text.contains(QStringLiteral("with the %1is reset.\r\nChat Session Closed on ")
                                     .arg(partner)));
        }
    }
};

QTEST_MAIN(tst_Journeys)
#include "tst_Journeys.moc"
