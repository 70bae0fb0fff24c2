#include "app/basMain.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/RtfReader.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "support/TranscriptRuns.h"
#include "ui/Composers.h"
#include "ui/Transcript.h"
#include "ui/frmKeyboard.h"
#include "ui/frmMain.h"
#include "urdu/basUrdu.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

const QString CallerAddress = QStringLiteral("127.0.0.1");
const QString CalleeAddress = QStringLiteral("127.0.0.2");

QFont font(const QString &family, qreal size, bool bold = false)
{
    QFont chosen(family);
    chosen.setPointSizeF(size);
    chosen.setBold(bold);
    return chosen;
}

} // namespace

// The main window's commands in a session: language, font and colour of the composers,
// the transcript's information blocks, Save As, and where the keyboard goes.
class tst_MainWindowCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestMessenger> m_caller;
    std::unique_ptr<TestMessenger> m_callee;

    frmMain &window() const { return m_caller->window(); }
    ScriptedDesktop &desktop() const { return m_caller->desktop; }
    QAction *action(const QString &name) const { return window().findChild<QAction *>(name); }
    UrduText *urduComposer() const
    {
        return window().findChild<UrduText *>(QStringLiteral("txtSend"));
    }
    QPlainTextEdit *englishComposer() const
    {
        return window().findChild<QPlainTextEdit *>(QStringLiteral("txtSendEN"));
    }

private slots:
    void init()
    {
        const auto ports = TestMessenger::freePorts();
        m_caller = std::make_unique<TestMessenger>(CallerAddress, ports);
        m_callee = std::make_unique<TestMessenger>(CalleeAddress, ports);
        m_caller->startAs(QStringLiteral("ali"));
        m_callee->startAs(QStringLiteral("sara"));
        QVERIFY(m_caller->openSessionWith(*m_callee, CalleeAddress));
        desktop().shown.clear();
    }
    void cleanup()
    {
        m_caller.reset();
        m_callee.reset();
    }

    // The language menus and their twins in the composer's menu switch the composer, keep
    // both composers' text, and never lose the check mark of the language in use.
    void languageSwitchKeepsTextAndMarks()
    {
        urduComposer()->setText("slam");
        auto *keyboardEntry = action(QStringLiteral("mnuUrdukeyboard"));
        keyboardEntry->trigger();
        auto *keyboard = window().findChild<frmKeyboard *>();
        QVERIFY(keyboard && keyboard->isVisible());

        action(QStringLiteral("mnuEnglishP"))->trigger();
        QVERIFY(window().composers().EnglishMode());
        QVERIFY(englishComposer()->isVisible() && englishComposer()->isEnabled());
        QVERIFY(!urduComposer()->isVisible());
        QVERIFY(!keyboard->isVisible());
        QVERIFY(!keyboardEntry->isEnabled());

        action(QStringLiteral("mnuEnglish"))->trigger(); // already chosen: nothing changes
        for (const QString &entry : { QStringLiteral("mnuEnglish"), QStringLiteral("mnuEnglishP") })
            QVERIFY2(action(entry)->isChecked(), qPrintable(entry));
        for (const QString &entry : { QStringLiteral("mnuUrdu"), QStringLiteral("mnuUrduP") })
            QVERIFY2(!action(entry)->isChecked(), qPrintable(entry));

        action(QStringLiteral("mnuUrdu"))->trigger();
        action(QStringLiteral("mnuUrduP"))->trigger();
        QVERIFY(!window().composers().EnglishMode());
        QVERIFY(action(QStringLiteral("mnuUrdu"))->isChecked()
            && action(QStringLiteral("mnuUrduP"))->isChecked());
        QVERIFY(!action(QStringLiteral("mnuEnglish"))->isChecked());
        QVERIFY(keyboardEntry->isEnabled());
        QVERIFY(!keyboard->isVisible());
        QCOMPARE(urduComposer()->Text(), QByteArray("slam"));
    }

    void fontChoice_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QFont>("chosen");
        QTest::addColumn<QString>("message");
        QTest::newRow("Urdu: Qirtas1 23 bold")
            << false << font(QStringLiteral("Qirtas1"), 23, true) << QString();
        QTest::newRow("Urdu: a face that cannot draw glyphs")
            << false << font(QStringLiteral("Arial"), 12)
            << QStringLiteral("Please Select an 'Qirtas' Font.");
        QTest::newRow("Urdu: face in another case")
            << false << font(QStringLiteral("qirtas1"), 12)
            << QStringLiteral("Please Select an 'Qirtas' Font.");
        QTest::newRow("Urdu: 24 points")
            << false << font(QStringLiteral("Qirtas1"), 24)
            << QStringLiteral("Please choose a FontSize less than 24.");
        QTest::newRow("English: Arial 22")
            << true << font(QStringLiteral("Arial"), 22) << QString();
        QTest::newRow("English: 24 points")
            << true << font(QStringLiteral("Arial"), 24)
            << QStringLiteral("Please choose a FontSize less than 24.");
    }
    // The font dialog opens on the composer's font; a refused choice changes nothing.
    void fontChoice()
    {
        QFETCH(bool, english);
        QFETCH(QFont, chosen);
        QFETCH(QString, message);
        if (english)
            action(QStringLiteral("mnuEnglish"))->trigger();
        const QFont before = english ? englishComposer()->font() : urduComposer()->font();
        desktop().dialogAnswers = { chosen };

        action(QStringLiteral("mnuFontP"))->trigger();

        QCOMPARE(desktop().dialogsShown, QStringList { QStringLiteral("font") });
        QCOMPARE(desktop().dialogsOpenedOn.first().value<QFont>().family(), before.family());
        const QFont after = english ? englishComposer()->font() : urduComposer()->font();
        if (message.isEmpty()) {
            QVERIFY(desktop().shown.isEmpty());
            QCOMPARE(after.family(), chosen.family());
            QCOMPARE(after.pointSizeF(), chosen.pointSizeF());
            QCOMPARE(after.bold(), chosen.bold());
        } else {
            QCOMPARE(desktop().shown.size(), 1);
            QCOMPARE(desktop().shown.first().text, message);
            QCOMPARE(after, before);
        }
    }

    // The colour dialog opens on what it returned last and applies it even when closed
    // without a choice: red chosen for English makes the Urdu composer red too.
    void colourChoiceCarriesOver()
    {
        action(QStringLiteral("mnuEnglish"))->trigger();
        desktop().dialogAnswers = { QColor(255, 0, 0) };
        action(QStringLiteral("mnuFontColor"))->trigger();
        action(QStringLiteral("mnuUrdu"))->trigger();
        desktop().dialogAnswers = { QVariant() };
        action(QStringLiteral("mnuFontColorP"))->trigger();
        QCOMPARE(desktop().dialogsOpenedOn.last().value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(urduComposer()->ForeColor(), 255);
    }

    // The information blocks: the local one always, the remote one only while connected.
    void userInformationBlocks()
    {
        Transcript &transcript = window().transcript();
        transcript.clear();
        action(QStringLiteral("mnuRemote"))->trigger();
        QCOMPARE(transcript.plainText(),
            QStringLiteral("\r\n\r\nRemote User Information;\r\nIP Address : 127.0.0.2\r\n"
                           "NickName : sara\r\nFull Name : sara Khan\r\n"
                           "Email Address : sara@example.org"));
        const QStringList runs = TranscriptRuns::of(
            *window().findChild<QTextEdit *>(QStringLiteral("rtbMain"))->document());
        QVERIFY(runs.contains(QStringLiteral("L Tahoma 10 #000000 \"IP Address : \"")));
        QVERIFY(runs.contains(QStringLiteral("L Tahoma 10 #2d38c4 \"sara Khan\"")));
        transcript.clear();
        window().WskMain().Close();
        action(QStringLiteral("mnuRemote"))->trigger();
        QCOMPARE(transcript.plainText(), QString());
        action(QStringLiteral("mnuLocal"))->trigger();
        QVERIFY(transcript.plainText().startsWith(
            QStringLiteral("\r\n\r\nLocal User Information;\r\nIP Address : 127.0.0.1\r\n")));
    }

    // Save As writes the transcript as RTF to the chosen file; a cancelled dialog writes
    // nothing, not even to the file name it still holds.
    void saveAsWritesChosenFileOnly()
    {
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("chat"));
        urduComposer()->setText("slam");
        window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();

        desktop().dialogAnswers = { chosen };
        action(QStringLiteral("mnuSaveAs"))->trigger();
        QCOMPARE(
            desktop().fileFilters.last(), QStringLiteral("RichText Format (*.rtf);;All Files (*)"));
        const RtfReader::Document document = RtfReader::read(TestFiles::read(chosen));
        QVERIFY(document.valid);
        QVERIFY(std::any_of(document.runs.cbegin(), document.runs.cend(), [](const auto &run) {
            return run.symbol && run.fontName == u"Qirtas1"
                && run.glyphs == ShapeUrdu("slam") + "\r\n";
        }));

        QVERIFY(QFile::remove(chosen));
        desktop().dialogAnswers = { QVariant() };
        action(QStringLiteral("mnuSaveAs"))->trigger();
        QVERIFY(!QFile::exists(chosen));
    }

    // A click in the transcript hands the keyboard to the composer in use; Enter there sends.
    void transcriptHandsFocusToComposer()
    {
        auto *rtbMain = window().findChild<QTextEdit *>(QStringLiteral("rtbMain"));
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        action(QStringLiteral("mnuEnglish"))->trigger();
        QTest::mouseClick(rtbMain->viewport(), Qt::LeftButton);
        QVERIFY(englishComposer()->hasFocus());
        QTest::keyClicks(englishComposer(), QStringLiteral("hello"));
        QTest::keyClick(englishComposer(), Qt::Key_Return);
        QVERIFY(englishComposer()->toPlainText().isEmpty());
        QVERIFY(
            window().transcript().plainText().endsWith(QStringLiteral("ali Says : \r\n   hello")));
    }

    // A right click on the composer opens the composers' context menu.
    void composerContextMenu()
    {
        auto *menu = window().findChild<QMenu *>(QStringLiteral("mnuPopText"));
        QTest::mouseClick(urduComposer()->txtMain(), Qt::RightButton);
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    }

    // Only blanks send nothing; a message longer than a partner can read is refused with a
    // message. Either way the text stays, and the partner hears nothing.
    void unsendableTextStays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("only blanks") << QStringLiteral("   ") << QStringList();
        QTest::newRow("longer than a partner reads")
            << QString(40000, u'x')
            << QStringList { QStringLiteral(
                   "This message is too long to send; please shorten it.") };
    }
    void unsendableTextStays()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        action(QStringLiteral("mnuEnglish"))->trigger();
        englishComposer()->setPlainText(text);
        window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        QTest::qWait(200);
        QCOMPARE(m_caller->textsShown(), shown);
        QCOMPARE(englishComposer()->toPlainText(), text);
        QVERIFY(!window().transcript().plainText().contains(QStringLiteral("ali Says")));
        QCOMPARE(m_callee->soundsPlayed().count(QStringLiteral("message.wav")), 1);
    }
};

QTEST_MAIN(tst_MainWindowCommands)
#include "tst_MainWindowCommands.moc"
