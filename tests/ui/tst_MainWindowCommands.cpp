#include "app/basMain.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/RtfReader.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "support/TranscriptRuns.h"
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
        auto *keyboardEntry = action(u"mnuUrdukeyboard"_qs);
        keyboardEntry->trigger();
        auto *keyboard = window().findChild<frmKeyboard *>();
        QVERIFY(keyboard && keyboard->isVisible());

        action(u"mnuEnglishP"_qs)->trigger();
        QVERIFY(window().EnglishMode);
        QVERIFY(englishComposer()->isVisible() && englishComposer()->isEnabled());
        QVERIFY(!urduComposer()->isVisible());
        QVERIFY(!keyboard->isVisible());
        QVERIFY(!keyboardEntry->isEnabled());

        action(u"mnuEnglish"_qs)->trigger(); // already chosen: nothing changes
        for (const QString &entry : { u"mnuEnglish"_qs, u"mnuEnglishP"_qs })
            QVERIFY2(action(entry)->isChecked(), qPrintable(entry));
        for (const QString &entry : { u"mnuUrdu"_qs, u"mnuUrduP"_qs })
            QVERIFY2(!action(entry)->isChecked(), qPrintable(entry));

        action(u"mnuUrdu"_qs)->trigger();
        action(u"mnuUrduP"_qs)->trigger();
        QVERIFY(!window().EnglishMode);
        QVERIFY(action(u"mnuUrdu"_qs)->isChecked() && action(u"mnuUrduP"_qs)->isChecked());
        QVERIFY(!action(u"mnuEnglish"_qs)->isChecked());
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
            << false << font(u"Qirtas1"_qs, 23, true) << QString();
        QTest::newRow("Urdu: a face that cannot draw glyphs")
            << false << font(u"Arial"_qs, 12) << u"Please Select an 'Qirtas' Font."_qs;
        QTest::newRow("Urdu: face in another case")
            << false << font(u"qirtas1"_qs, 12) << u"Please Select an 'Qirtas' Font."_qs;
        QTest::newRow("Urdu: 24 points")
            << false << font(u"Qirtas1"_qs, 24) << u"Please choose a FontSize less than 24."_qs;
        QTest::newRow("English: Arial 22") << true << font(u"Arial"_qs, 22) << QString();
        QTest::newRow("English: 24 points")
            << true << font(u"Arial"_qs, 24) << u"Please choose a FontSize less than 24."_qs;
    }
    // The font dialog opens on the composer's font; a refused choice changes nothing.
    void fontChoice()
    {
        QFETCH(bool, english);
        QFETCH(QFont, chosen);
        QFETCH(QString, message);
        if (english)
            action(u"mnuEnglish"_qs)->trigger();
        const QFont before = english ? englishComposer()->font() : urduComposer()->font();
        desktop().dialogAnswers = { chosen };

        action(u"mnuFontP"_qs)->trigger();

        QCOMPARE(desktop().dialogsShown, QStringList { u"font"_qs });
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
        action(u"mnuEnglish"_qs)->trigger();
        desktop().dialogAnswers = { QColor(255, 0, 0) };
        action(u"mnuFontColor"_qs)->trigger();
        action(u"mnuUrdu"_qs)->trigger();
        desktop().dialogAnswers = { QVariant() };
        action(u"mnuFontColorP"_qs)->trigger();
        QCOMPARE(desktop().dialogsOpenedOn.last().value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(urduComposer()->ForeColor(), 255);
    }

    // The information blocks: the local one always, the remote one only while connected.
    void userInformationBlocks()
    {
        Transcript &transcript = window().transcript();
        transcript.clear();
        action(u"mnuRemote"_qs)->trigger();
        QCOMPARE(transcript.plainText(),
            u"\r\n\r\nRemote User Information;\r\nIP Address : 127.0.0.2\r\nNickName : sara\r\n"
            u"Full Name : sara Khan\r\nEmail Address : sara@example.org"_qs);
        const QStringList runs = TranscriptRuns::of(*window().findChild<QTextEdit *>(u"rtbMain"_qs)->document());
        QVERIFY(runs.contains(u"L Tahoma 10 #000000 \"IP Address : \""_qs));
        QVERIFY(runs.contains(u"L Tahoma 10 #2d38c4 \"sara Khan\""_qs));
        transcript.clear();
        window().WskMain().Close();
        action(u"mnuRemote"_qs)->trigger();
        QCOMPARE(transcript.plainText(), QString());
        action(u"mnuLocal"_qs)->trigger();
        QVERIFY(transcript.plainText().startsWith(
            u"\r\n\r\nLocal User Information;\r\nIP Address : 127.0.0.1\r\n"_qs));
    }

    // Save As writes the transcript as RTF to the chosen file; a cancelled dialog writes
    // nothing, not even to the file name it still holds.
    void saveAsWritesChosenFileOnly()
    {
        QTemporaryDir folder;
        const QString chosen = folder.filePath(u"chat"_qs);
        urduComposer()->setText("slam");
        window().findChild<QPushButton *>(u"cmdSend"_qs)->click();

        desktop().dialogAnswers = { chosen };
        action(u"mnuSaveAs"_qs)->trigger();
        QCOMPARE(desktop().fileFilters.last(), u"RichText Format (*.rtf);;All Files (*)"_qs);
        const RtfReader::Document document = RtfReader::read(TestFiles::read(chosen));
        QVERIFY(document.valid);
        QVERIFY(std::any_of(document.runs.cbegin(), document.runs.cend(), [](const auto &run) {
            return run.symbol && run.fontName == u"Qirtas1"
                && run.glyphs == ShapeUrdu("slam") + "\r\n";
        }));

        QVERIFY(QFile::remove(chosen));
        desktop().dialogAnswers = { QVariant() };
        action(u"mnuSaveAs"_qs)->trigger();
        QVERIFY(!QFile::exists(chosen));
    }

    // A click in the transcript hands the keyboard to the composer in use; Enter there sends.
    void transcriptHandsFocusToComposer()
    {
        auto *rtbMain = window().findChild<QTextEdit *>(u"rtbMain"_qs);
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        action(u"mnuEnglish"_qs)->trigger();
        QTest::mouseClick(rtbMain->viewport(), Qt::LeftButton);
        QVERIFY(englishComposer()->hasFocus());
        QTest::keyClicks(englishComposer(), u"hello"_qs);
        QTest::keyClick(englishComposer(), Qt::Key_Return);
        QVERIFY(englishComposer()->toPlainText().isEmpty());
        QVERIFY(window().transcript().plainText().endsWith(u"ali Says : \r\n   hello"_qs));
    }

    // A right click on the composer opens the composers' context menu.
    void composerContextMenu()
    {
        auto *menu = window().findChild<QMenu *>(u"mnuPopText"_qs);
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
        QTest::newRow("only blanks") << u"   "_qs << QStringList();
        QTest::newRow("longer than a partner reads") << QString(40000, u'x')
            << QStringList { u"This message is too long to send; please shorten it."_qs };
    }
    void unsendableTextStays()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        action(u"mnuEnglish"_qs)->trigger();
        englishComposer()->setPlainText(text);
        window().findChild<QPushButton *>(u"cmdSend"_qs)->click();
        QTest::qWait(200);
        QCOMPARE(m_caller->textsShown(), shown);
        QCOMPARE(englishComposer()->toPlainText(), text);
        QVERIFY(!window().transcript().plainText().contains(u"ali Says"_qs));
        QCOMPARE(m_callee->soundsPlayed().count(u"message.wav"_qs), 1);
    }
};

QTEST_MAIN(tst_MainWindowCommands)
#include "tst_MainWindowCommands.moc"
