#include "controls/UrduText.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/Composers.h"
#include "ui/Transcript.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

namespace {

QFont font(const char *family, qreal size, bool bold, bool italic)
{
    QFont chosen(QString::fromLatin1(family));
    chosen.setPointSizeF(size);
    chosen.setBold(bold);
    chosen.setItalic(italic);
    return chosen;
}

// What ends a transcript when the session with partner ("nickname {address}") is over.
QRegularExpression ending(const QString &partner)
{
    return QRegularExpression(QStringLiteral("The Connection with the ")
        + QRegularExpression::escape(partner)
        + QStringLiteral("is reset.\r\nChat Session Closed on \\w{3}, \\w+ \\d\\d, \\d{4} at "
                         "\\d\\d:\\d\\d:\\d\\d [AP]M$"));
}

} // namespace

// Two complete copies on 127.0.0.1 and 127.0.0.2 meet the way their users do, through
// menus and dialogs: ali calls, sara accepts, each writes one message (sara in a font and
// colour of her choice), a file goes across, and one of them hangs up.
class tst_Journeys : public QObject
{
    Q_OBJECT

    // Types text into the chosen composer and presses Send; both transcripts end with the
    // message under the writer's name, green on the writer's side, purple on the other.
    static void send(TestMessenger &from, TestMessenger &to, const QString &nickname,
        const QString &text, const QStringList &body)
    {
        Composers &composers = from.window().composers();
        if (composers.EnglishMode())
            composers.txtSendEN()->setPlainText(text);
        else
            composers.txtSend()->setText(text.toLatin1());
        const qsizetype before = to.transcriptRuns().size();
        from.window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        const QString header
            = QStringLiteral("L Arial 10 %1 B \"") + nickname + QStringLiteral(" Says : \"");
        const QStringList sent = QStringList {
            QStringLiteral("|"), header.arg(QStringLiteral("#05984b")), QStringLiteral("|")
        } + body;
        QCOMPARE(from.transcriptRuns().mid(from.transcriptRuns().size() - sent.size()), sent);
        QTRY_COMPARE(to.transcriptRuns().size(), before + sent.size());
        QCOMPARE(to.transcriptRuns().mid(before),
            QStringList(sent).replaceInStrings(
                QStringLiteral("#05984b"), QStringLiteral("#714198")));
    }

private slots:
    void journey_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("aliTypes");
        QTest::addColumn<QStringList>("aliBody"); // the runs of ali's message
        QTest::addColumn<QFont>("saraFont");
        QTest::addColumn<QColor>("saraColor");
        QTest::addColumn<QString>("saraTypes");
        QTest::addColumn<QStringList>("saraBody");
        QTest::addColumn<bool>("aliSendsFile");
        QTest::addColumn<QString>("hangUp"); // who hangs up, and through which entry
        QTest::newRow("Urdu, a file to sara, ali hangs up")
            << false << QStringLiteral("slam")
            << QStringList { QStringLiteral("R Qirtas1 12 #000000 \"\uF0C2\uF042\uF0BC\uF06D\""),
                   QStringLiteral("|") }
            << font("Qirtas1", 16, false, true) << QColor(0, 0, 255) << QStringLiteral("ap")
            << QStringList { QStringLiteral("R Qirtas1 16 #0000ff I \"\uF085\uF041\""),
                   QStringLiteral("|") }
            << true << QStringLiteral("ali mnuConnect");
        QTest::newRow("English, a file to ali, sara hangs up from the tray")
            << true << QStringLiteral("hi there")
            << QStringList { QStringLiteral("L Arial 9 #000000 \"   hi there\"") }
            << font("Times", 14, true, true) << QColor(255, 0, 0) << QStringLiteral("fine")
            << QStringList { QStringLiteral("L Times 14 #ff0000 B I \"   fine\"") } << false
            << QStringLiteral("sara mnuConnectT");
    }
    void journey()
    {
        QFETCH(bool, english);
        QFETCH(QString, aliTypes);
        QFETCH(QStringList, aliBody);
        QFETCH(QFont, saraFont);
        QFETCH(QColor, saraColor);
        QFETCH(QString, saraTypes);
        QFETCH(QStringList, saraBody);
        QFETCH(bool, aliSendsFile);
        QFETCH(QString, hangUp);
        const auto ports = TestMessenger::freePorts();
        TestMessenger ali(QStringLiteral("127.0.0.1"), ports);
        TestMessenger sara(QStringLiteral("127.0.0.2"), ports);
        ali.startAs(QStringLiteral("ali"));
        sara.startAs(QStringLiteral("sara"));

        QVERIFY(ali.openSessionWith(sara, QStringLiteral("127.0.0.2")));
        for (TestMessenger *side : { &ali, &sara }) {
            const QString partner = side == &ali ? QStringLiteral("sara") : QStringLiteral("ali");
            QCOMPARE(side->transcriptRuns().mid(5),
                (QStringList { QStringLiteral("|"),
                    QStringLiteral("L Tahoma 10 #000000 \"Remote User Nick is \""),
                    QStringLiteral("L Tahoma 10 #9b0247 \"%1\"").arg(partner),
                    QStringLiteral("|") }));
            QTRY_COMPARE(side->window().statusText(0), QStringLiteral("Connected."));
            if (english)
                side->action(QStringLiteral("mnuEnglish"))->trigger();
        }

        ali.action(QStringLiteral("mnuRemote"))->trigger();
        QVERIFY(ali.window().transcript().plainText().endsWith(QStringLiteral(
            "Remote User Information;\r\nIP Address : 127.0.0.2\r\nNickName : sara\r\n"
            "Full Name : sara Khan\r\nEmail Address : sara@example.org")));
        send(ali, sara, QStringLiteral("ali"), aliTypes, aliBody);
        sara.desktop.dialogAnswers = { saraFont, saraColor };
        sara.action(QStringLiteral("mnuFont"))->trigger();
        sara.action(QStringLiteral("mnuFontColor"))->trigger();
        send(sara, ali, QStringLiteral("sara"), saraTypes, saraBody);

        TestMessenger &sender = aliSendsFile ? ali : sara;
        TestMessenger &receiver = aliSendsFile ? sara : ali;
        QTemporaryDir folder;
        QByteArray content(2500, '\0');
        std::iota(content.begin(), content.end(), char(7));
        receiver.program->DownloadPath = folder.filePath(QStringLiteral("in/"));
        const QString path
            = TestFiles::write(folder.filePath(QStringLiteral("notes.bin")), content);
        QStringList captions;
        QAction *sendFile = sender.action(QStringLiteral("mnuSendFile"));
        connect(sendFile, &QAction::changed, this, [&] { captions << sendFile->text(); });
        int largestProgress = 0;
        connect(receiver.window().findChild<QProgressBar *>(QStringLiteral("PBFTP")),
            &QProgressBar::valueChanged, this,
            [&](int value) { largestProgress = qMax(largestProgress, value); });
        QVERIFY(sender.sendFileTo(receiver, path));
        QCOMPARE(TestFiles::read(folder.filePath(QStringLiteral("in/notes.bin"))), content);
        QCOMPARE(sender.textsShown().last(), QStringLiteral("File has been Sent Successfully."));
        QCOMPARE(
            receiver.textsShown().last(), QStringLiteral("File has been Received Successfully."));
        QVERIFY(captions.contains(QStringLiteral("Cancel File &Transfer")));
        QCOMPARE(largestProgress, 100);

        TestMessenger &leaving = hangUp.startsWith(u"ali") ? ali : sara;
        leaving.action(hangUp.section(u' ', 1))->trigger();
        QTRY_VERIFY(ali.listening() && sara.listening());
        for (TestMessenger *side : { &ali, &sara }) {
            const QString text = side->window().transcript().plainText();
            QVERIFY2(ending(side == &ali ? QStringLiteral("sara {127.0.0.2}")
                                         : QStringLiteral("ali {127.0.0.1}"))
                         .match(text)
                         .hasMatch(),
                qPrintable(text.right(120)));
        }
    }
};

QTEST_MAIN(tst_Journeys)
#include "tst_Journeys.moc"
