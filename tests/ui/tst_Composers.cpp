#include "controls/UrduText.h"
#include "support/ScriptedDesktop.h"
#include "ui/CommonDialog.h"
#include "ui/Composers.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

QVariant font(const char *family, qreal size, bool bold = false, bool italic = false)
{
    QFont chosen(QString::fromLatin1(family));
    chosen.setPointSizeF(size);
    chosen.setBold(bold);
    chosen.setItalic(italic);
    return chosen;
}

const QByteArray Urdu = "\\F:Qirtas1\\C:-2147483640\\S: 12\\L:1";
const QByteArray English = "\\F:Arial\\C:-2147483640\\S: 9\\L:0";
const QString FaceMessage = QStringLiteral("(i) Please Select an 'Qirtas' Font.");
const QString SizeMessage = QStringLiteral("(!) Please choose a FontSize less than 24.");

// Both composers on a bare client with the language and keyboard entries as the main window
// has them at start, in a session.
struct Fixture
{
    ScriptedDesktop desktop;
    CommonDialog cdMain { desktop };
    QWidget client;
    Composers composers { &client, cdMain, desktop };
    QAction mnuEnglish, mnuEnglishP, mnuUrdu, mnuUrduP, mnuUrdukeyboard;

    explicit Fixture(bool english = false)
    {
        for (QAction *entry : { &mnuEnglish, &mnuEnglishP, &mnuUrdu, &mnuUrduP })
            entry->setCheckable(true);
        mnuUrdu.setChecked(true);
        mnuUrduP.setChecked(true);
        composers.attachMenus(&mnuEnglish, &mnuUrdu, &mnuEnglishP, &mnuUrduP, &mnuUrdukeyboard);
        for (QAction *entry : { &mnuEnglish, &mnuEnglishP })
            QObject::connect(entry, &QAction::triggered, &composers, &Composers::mnuEnglish_Click);
        for (QAction *entry : { &mnuUrdu, &mnuUrduP })
            QObject::connect(entry, &QAction::triggered, &composers, &Composers::mnuUrdu_Click);
        composers.enableForSession(true);
        client.show();
        if (english)
            mnuEnglish.trigger();
    }
    void type(const QString &text)
    {
        if (composers.EnglishMode())
            composers.txtSendEN()->setPlainText(text);
        else
            composers.txtSend()->setText(text.toLatin1());
    }
    // The checked language entries (English, its twin, Urdu, its twin), and "kbd" while the
    // keyboard entry is enabled.
    QString marks() const
    {
        QString marks;
        for (const QAction *entry : { &mnuEnglish, &mnuEnglishP, &mnuUrdu, &mnuUrduP })
            marks += entry->isChecked() ? u'x' : u'-';
        return marks + (mnuUrdukeyboard.isEnabled() ? QStringLiteral(" kbd") : QString());
    }
    // The chosen composer's markup before its text.
    QByteArray style() const
    {
        const QByteArray markup = composers.EncodeMessage();
        return markup.left(markup.indexOf("\\{T:"));
    }
    QString shown() const
    {
        QStringList texts;
        for (const ScriptedDesktop::Shown &box : desktop.shown)
            texts << (box.icon == Desktop::Icon::Information ? QStringLiteral("(i) ")
                                                             : QStringLiteral("(!) "))
                    + box.text;
        return texts.join(u'\n');
    }
};

} // namespace

// The composers: the wire form of a message, the font and colour commands, the language
// entries and the context menu.
class tst_Composers : public QObject
{
    Q_OBJECT

private slots:
    // Untouched composers send in their start fonts and the window text colour; English
    // lines end in CR LF; Urdu goes as its lines, each ending in CR LF. Blanks alone are
    // nothing to send.
    void wireForm_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("markup"); // empty: nothing to send
        QTest::newRow("English") << true << QStringLiteral("hi\nthere")
                                 << English + "\\{T:hi\r\nthere\\}";
        QTest::newRow("Urdu") << false << QStringLiteral("slam")
                              << Urdu + "\\{T:\xc2\x42\xbc\x6d\r\n\\}";
        QTest::newRow("Urdu, two lines")
            << false << QStringLiteral("salam dost kya hal hE mEN tyk hUN ap sunaw")
            << Urdu
                + "\\{T:\xc2\x42\xbb\x42\x6d\r\n\xcb\x42\xc3\xd5\x6d \x85\x41 \xe7 \xe8 "
                  "\xb9\xce\x4d \xe7\xd9\xc2 "
                  "\xd9\xeb \xbe\x42\xe8 \x42\xce\xb7 \x4f\x6e\xc7\x65\r\n\\}";
        QTest::newRow("English blanks") << true << QStringLiteral("  ") << QByteArray();
        QTest::newRow("Urdu blanks") << false << QStringLiteral(" ") << QByteArray();
    }
    void wireForm()
    {
        QFETCH(bool, english);
        QFETCH(QString, typed);
        QFETCH(QByteArray, markup);
        Fixture f(english);
        f.type(typed);
        QCOMPARE(f.composers.blank() ? QByteArray() : f.composers.EncodeMessage(), markup);
    }

    // The font dialog opens on the chosen composer's font, also in a session opened while
    // English is chosen. The Urdu composer takes only a face of the Qirtas family (the case
    // counts), both only sizes below 24; the face is judged first. Before a session there is
    // nothing to choose a font for.
    void fontCommand_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("session");
        QTest::addColumn<QVariant>("chosen");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("style");
        const QString none;
        QTest::newRow("Urdu: Qirtas2, 23, bold")
            << false << true << font("Qirtas2", 23, true) << none
            << QByteArray("\\BLD\\F:Qirtas2\\C:-2147483640\\S: 23\\L:1");
        QTest::newRow("Urdu: Arial") << false << true << font("Arial", 12) << FaceMessage << Urdu;
        QTest::newRow("Urdu: qirtas1")
            << false << true << font("qirtas1", 12) << FaceMessage << Urdu;
        QTest::newRow("Urdu: 24 points")
            << false << true << font("Qirtas1", 24) << SizeMessage << Urdu;
        QTest::newRow("Urdu: Arial, 30 points")
            << false << true << font("Arial", 30) << FaceMessage << Urdu;
        QTest::newRow("English: Times, 23, italic")
            << true << true << font("Times", 23, false, true) << none
            << QByteArray("\\ITL\\F:Times\\C:-2147483640\\S: 23\\L:0");
        QTest::newRow("English: 24 points")
            << true << true << font("Arial", 24) << SizeMessage << English;
        QTest::newRow("no choice") << false << true << QVariant() << none << Urdu;
        QTest::newRow("before a session") << false << false << font("Qirtas2", 20) << none << Urdu;
    }
    void fontCommand()
    {
        QFETCH(bool, english);
        QFETCH(bool, session);
        QFETCH(QVariant, chosen);
        QFETCH(QString, shown);
        QFETCH(QByteArray, style);
        Fixture f(english);
        f.composers.enableForSession(session);
        f.desktop.dialogAnswers = { chosen };
        f.composers.mnuFont_Click();
        const QFont openedOn = f.desktop.dialogsOpenedOn.value(0).value<QFont>();
        QCOMPARE(session ? openedOn.family() + u' ' + QString::number(openedOn.pointSizeF())
                         : f.desktop.dialogsShown.join(u' '),
            !session      ? QString()
                : english ? QStringLiteral("Arial 9")
                          : QStringLiteral("Qirtas1 12"));
        QCOMPARE(f.shown(), shown);
        QCOMPARE(f.style(), style);
    }

    // The colour dialog opens on the colour it gave last and applies it even when closed
    // without a choice: blue chosen for English makes the Urdu composer blue too.
    void colourCommand()
    {
        Fixture f(true);
        f.desktop.dialogAnswers = { QColor(0, 0, 255), QVariant() };
        f.composers.mnuFontColor_Click();
        QCOMPARE(f.style(), QByteArray("\\F:Arial\\C: 16711680\\S: 9\\L:0"));
        f.mnuUrdu.trigger();
        f.composers.mnuFontColor_Click();
        QCOMPARE(f.desktop.dialogsOpenedOn.last().value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(f.style(), QByteArray("\\F:Qirtas1\\C: 16711680\\S: 12\\L:1"));
    }

    // Each language entry shows its composer and marks its language in both menus; the
    // language already chosen keeps its mark and changes nothing. English has no use for the
    // on-screen keyboard. Neither composer loses its text.
    void languageEntries()
    {
        Fixture f;
        QSignalSpy englishChosen(&f.composers, &Composers::englishChosen);
        f.type(QStringLiteral("slam"));
        f.composers.txtSendEN()->setPlainText(QStringLiteral("hi"));
        f.mnuUrdu.trigger();
        QCOMPARE(f.marks(), QStringLiteral("--xx kbd"));
        f.mnuEnglishP.trigger();
        f.mnuEnglish.trigger();
        QCOMPARE(f.marks(), QStringLiteral("xx--"));
        QCOMPARE(englishChosen.count(), 1);
        QVERIFY(f.composers.txtSendEN()->isVisible() && f.composers.txtSendEN()->isEnabled());
        QVERIFY(!f.composers.txtSend()->isVisible());
        f.mnuUrduP.trigger();
        QCOMPARE(f.marks(), QStringLiteral("--xx kbd"));
        QVERIFY(f.composers.txtSend()->isVisible() && !f.composers.txtSendEN()->isVisible());
        QCOMPARE(f.composers.txtSend()->Text(), QByteArray("slam"));
        QCOMPARE(f.composers.txtSendEN()->toPlainText(), QStringLiteral("hi"));
    }

    // A right click on either composer asks for the context menu; a left click does not.
    void contextMenu()
    {
        Fixture f;
        QSignalSpy requested(&f.composers, &Composers::contextMenuRequested);
        QTest::mouseClick(f.composers.txtSend()->txtMain(), Qt::LeftButton);
        QTest::mouseClick(f.composers.txtSend()->txtMain(), Qt::RightButton);
        QTRY_COMPARE(requested.count(), 1);
        f.mnuEnglish.trigger();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(f.composers.txtSendEN()->viewport(), &click);
        QTRY_COMPARE(requested.count(), 2);
    }
};

QTEST_MAIN(tst_Composers)
#include "tst_Composers.moc"
