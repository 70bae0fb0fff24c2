#include "support/TestMessenger.h"
#include "ui/Composers.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QTest>

namespace {

const QByteArray Urdu = "\\F:Qirtas1\\C:-2147483640\\S: 12\\L:1";
const QByteArray English = "\\F:Arial\\C:-2147483640\\S: 9\\L:0";
const QString FaceMessage = QStringLiteral("(i) Please Select an 'Qirtas' Font.\n");
const QString SizeMessage = QStringLiteral("(!) Please choose a FontSize less than 24.\n");
const QString OnUrdu = QStringLiteral("Qirtas1 12\n"); // the font the dialog opens on
const QString OnEnglish = QStringLiteral("Arial 9\n");

struct Window : TestMessenger
{
    explicit Window(const QString &steps)
        : TestMessenger(QStringLiteral("127.0.0.1"), freePorts())
    {
        start();
        play(steps);
    }
    QByteArray style() const
    {
        const QByteArray markup = window().composers().EncodeMessage();
        return markup.left(markup.indexOf("\\{T:"));
    }
    // The fonts the font dialog opened on, then the message boxes with their icons.
    QString shown() const
    {
        QString shown;
        for (const QVariant &on : desktop.dialogsOpenedOn)
            shown += on.value<QFont>().family()
                + QStringLiteral(" %1\n").arg(on.value<QFont>().pointSizeF());
        for (const ScriptedDesktop::Shown &box : desktop.shown) {
            const bool information = box.icon == Desktop::Icon::Information;
            shown
                += QStringLiteral("(%1) %2\n").arg(QChar(information ? u'i' : u'!')).arg(box.text);
        }
        return shown;
    }
};

} // namespace

class tst_Composers : public QObject
{
    Q_OBJECT

private slots:
    // Untouched composers send in their start fonts and the window text colour; English
    // lines end in CR LF; Urdu goes as its lines, each ending in CR LF. Blanks alone are
    // nothing to send.
    void wireForm_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("markup"); // empty: nothing to send
        const QString english = QStringLiteral("mnuEnglish");
        QTest::newRow("English") << english << QStringLiteral("hi\nthere")
                                 << English + "\\{T:hi\r\nthere\\}";
        QTest::newRow("Urdu, two lines")
            << QString() << QStringLiteral("salam dost kya hal hE mEN tyk hUN ap sunaw")
            << Urdu
                + "\\{T:\xc2\x42\xbb\x42\x6d\r\n\xcb\x42\xc3\xd5\x6d \x85\x41 \xe7 \xe8 "
                  "\xb9\xce\x4d \xe7\xd9\xc2 "
                  "\xd9\xeb \xbe\x42\xe8 \x42\xce\xb7 \x4f\x6e\xc7\x65\r\n\\}";
        QTest::newRow("English blanks") << english << QStringLiteral("  ") << QByteArray();
    }
    void wireForm()
    {
        QFETCH(QString, language);
        QFETCH(QString, typed);
        QFETCH(QByteArray, markup);
        Window w(QStringLiteral("InSession ") + language);
        w.type(typed);
        const Composers &composers = w.window().composers();
        QCOMPARE(composers.blank() ? QByteArray() : composers.EncodeMessage(), markup);
    }

    // The font dialog opens on the chosen composer's font, also in a session opened in English.
    // Urdu takes only a Qirtas face (the case counts), both only sizes below 24, the face
    // judged first. Before a session there is nothing to choose a font for.
    void fontCommand_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QVariant>("chosen");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("style");
        const QString urdu = QStringLiteral("InSession");
        const QString english = QStringLiteral("InSession mnuEnglish");
        QTest::newRow("Urdu: Qirtas2, 23, bold")
            << urdu << QVariant(pickedFont("Qirtas2", 23, true)) << OnUrdu
            << QByteArray("\\BLD\\F:Qirtas2\\C:-2147483640\\S: 23\\L:1");
        QTest::newRow("Urdu: qirtas1")
            << urdu << QVariant(pickedFont("qirtas1", 12)) << OnUrdu + FaceMessage << Urdu;
        QTest::newRow("Urdu: 24 points")
            << urdu << QVariant(pickedFont("Qirtas1", 24)) << OnUrdu + SizeMessage << Urdu;
        QTest::newRow("Urdu: Arial, 30 points")
            << urdu << QVariant(pickedFont("Arial", 30)) << OnUrdu + FaceMessage << Urdu;
        QTest::newRow("next session in English: Times, 23, italic")
            << english + QStringLiteral(" Listening InSession")
            << QVariant(pickedFont("Times", 23, false, true)) << OnEnglish
            << QByteArray("\\ITL\\F:Times\\C:-2147483640\\S: 23\\L:0");
        QTest::newRow("English: 24 points")
            << english << QVariant(pickedFont("Arial", 24)) << OnEnglish + SizeMessage << English;
        QTest::newRow("no choice") << urdu << QVariant() << OnUrdu << Urdu;
        QTest::newRow("before a session")
            << QString() << QVariant(pickedFont("Qirtas2", 20)) << QString() << Urdu;
    }
    void fontCommand()
    {
        QFETCH(QString, steps);
        QFETCH(QVariant, chosen);
        QFETCH(QString, shown);
        QFETCH(QByteArray, style);
        Window w(steps);
        w.desktop.dialogAnswers = { chosen };
        w.play(QStringLiteral("mnuFontP"));
        QCOMPARE(w.shown(), shown);
        QCOMPARE(w.style(), style);
    }

    // The colour dialog opens on the colour it gave last and applies it even when closed
    // without a choice: blue chosen for English makes the Urdu composer blue too.
    void colourCommand()
    {
        Window w(QStringLiteral("InSession mnuEnglish"));
        w.desktop.dialogAnswers = { QColor(0, 0, 255) };
        w.play(QStringLiteral("mnuFontColor"));
        QCOMPARE(w.style(), QByteArray("\\F:Arial\\C: 16711680\\S: 9\\L:0"));
        w.play(QStringLiteral("mnuUrdu mnuFontColorP"));
        QCOMPARE(w.desktop.dialogsOpenedOn.last().value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(w.style(), QByteArray("\\F:Qirtas1\\C: 16711680\\S: 12\\L:1"));
    }
};

QTEST_MAIN(tst_Composers)
#include "tst_Composers.moc"
