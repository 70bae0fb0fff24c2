#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/Transcript.h"
#include "ui/TranscriptView.h"
#include "urdu/NastaliqFont.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using Writer = std::function<void(Transcript &)>;
Q_DECLARE_METATYPE(Writer)

namespace {

DecodedMessage message(const char *font, qint16 size, bool bold, bool italic, qint32 color,
    const QByteArray &text, bool urdu)
{
    return { QString::fromLatin1(font), size, bold, italic, color, text, urdu };
}

// A run of the transcript's own Tahoma texts, black unless crimson (c) or blue (b).
QString label(const char *text, char colour = 'k')
{
    const char *hex = colour == 'c' ? "#9b0247" : colour == 'b' ? "#2d38c4" : "#000000";
    return QStringLiteral("L Tahoma 10 %1 \"%2\"").arg(QLatin1String(hex), QString::fromUtf8(text));
}

const QString Break = QStringLiteral("|");

// A transcript whose clock stands at Wednesday 9 January 2002, 16:05:07.
Transcript transcript(QTextEdit &box, const QLocale &locale = QLocale(QLocale::English),
    const QString &archiveFolder = {}, TranscriptArchive::Limits limits = { 1000, 100000 })
{
    return Transcript(
        &box, [] { return QDateTime(QDate(2002, 1, 9), QTime(16, 5, 7)); }, locale, archiveFolder,
        limits);
}

} // namespace

class tst_Transcript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { UrduGlyphFont::install(); }

    void runs_data()
    {
        QTest::addColumn<Writer>("write");
        QTest::addColumn<QStringList>("runs");
        QTest::addColumn<QString>("locale");
        const Writer banner = [](Transcript &t) { t.WriteSessionBanner(127); };
        // Day and month names in the user's language, numbers in ASCII digits, "AM" or "PM".
        const auto opened = [](const char *date) {
            return QStringList { Break, label("Chat Session Opened on "), label(date, 'c'),
                label(" at "), label("04:05:07 PM", 'c') };
        };
        QTest::newRow("a session over an old one, information, the reset line and closing banner")
            << Writer([](Transcript &t) {
                   t.AppendRun(QStringLiteral("old"), 0, QStringLiteral("Arial"), 10);
                   t.writeSessionOpened(QStringLiteral("sara"));
                   t.writeUserInformation(111, QStringLiteral("127.0.0.2"), QStringLiteral("sara"),
                       QString(), QStringLiteral("s@x"));
                   t.writeConnectionReset(QStringLiteral("sara {127.0.0.2}"));
                   t.WriteSessionBanner(128);
               })
            << opened("Wed, January 09, 2002")
                + QStringList { Break, label("Remote User Nick is "), label("sara", 'c'), Break,
                      Break, Break,
                      QStringLiteral("L Arial Black 10 #000000 \"Remote User Information;\""),
                      Break, label("IP Address : "), label("127.0.0.2", 'b'), Break,
                      label("NickName : "), label("sara", 'b'), Break, label("Full Name : "), Break,
                      label("Email Address : "), label("s@x", 'b'), Break,
                      label("The Connection with the sara {127.0.0.2}is reset.", 'c'), Break,
                      label("Chat Session Closed on "), label("Wed, January 09, 2002", 'c'),
                      label(" at "), label("04:05:07 PM", 'c') }
            << QStringLiteral("en_US");
        QTest::newRow("a banner in Arabic")
            << banner
            << opened("\u0627\u0644\u0623\u0631\u0628\u0639\u0627\u0621, "
                      "\u064a\u0646\u0627\u064a\u0631 09, 2002")
            << QStringLiteral("ar_EG");
        QTest::newRow("our English message as text, indented on every line, unreadable sizes "
                      "at 10 and the rest at most 72, Urdu lines that stay right")
            << Writer([](Transcript &t) {
                   t.ShowMessage(QStringLiteral("ali"), 0,
                       message("Times", 13, true, false, 255, "<b>hi</b>", false));
                   t.ShowMessage(QStringLiteral("sara"), 1,
                       message("Arial", 0, false, false, 0, "a\r\nb\nc\rd", false));
                   t.ShowMessage(QStringLiteral("sara"), 1,
                       message("Arial", 500, false, false, 0, "b", false));
                   t.ShowMessage(QStringLiteral("sara"), 1,
                       message("Qirtas1", 16, false, true, 0xFF0000, "\xc1\xc2\r\n\x7b\x7d", true));
                   t.AppendRun(QStringLiteral("\r\nend"), 0, QStringLiteral("Tahoma"), 10);
               })
            << QStringList { Break, QStringLiteral("L Arial 10 #05984b B \"ali Says : \""), Break,
                   QStringLiteral("L Times 13 #ff0000 B \"   <b>hi</b>\""), Break,
                   QStringLiteral("L Arial 10 #714198 B \"sara Says : \""), Break,
                   QStringLiteral("L Arial 10 #000000 \"   a\""), Break,
                   QStringLiteral("L Arial 10 #000000 \"   b\""), Break,
                   QStringLiteral("L Arial 10 #000000 \"   c\""), Break,
                   QStringLiteral("L Arial 10 #000000 \"   d\""), Break,
                   QStringLiteral("L Arial 10 #714198 B \"sara Says : \""), Break,
                   QStringLiteral("L Arial 72 #000000 \"   b\""), Break,
                   QStringLiteral("L Arial 10 #714198 B \"sara Says : \""), Break,
                   QStringLiteral("R Qirtas1 16 #0000ff I \"\uF0C1\uF0C2\""), Break,
                   QStringLiteral("R Qirtas1 16 #0000ff I \"\uF07B\uF07D\""), Break, label("end") }
            << QStringLiteral("en_US");
    }
    void runs()
    {
        QFETCH(Writer, write);
        QFETCH(QStringList, runs);
        QFETCH(QString, locale);
        QTextEdit box;
        Transcript written = transcript(box, QLocale(locale));
        write(written);
        QCOMPARE(transcriptRuns(*box.document()), runs);
        QVERIFY(box.textCursor().atEnd()); // the view follows the newest text
    }

    // Where the box wraps a partner's line, the line it opens keeps off the margin too, and so
    // does a full first line of Urdu: only the transcript's own lines start there.
    void bodiesKeepOffTheMargin()
    {
        QTextEdit box;
        box.document()->setTextWidth(268);
        Transcript written = transcript(box);
        for (const bool urdu : { false, true })
            written.ShowMessage(QStringLiteral("sara"), 1,
                message("Arial", 10, true, false, 0, "sara\xa0Says" + QByteArray(30, 'm'), urdu));
        box.document()->size(); // lays it all out
        for (const auto &[body, line] : { std::pair { 2, 1 }, std::pair { 4, 0 } }) {
            const QTextLayout *layout = box.document()->findBlockByNumber(body).layout();
            QVERIFY(layout->lineCount() == 2 && layout->lineAt(line).x() > 0);
        }
    }

    // A session past its limits (12 paragraphs here) moves its older half, whole messages, to
    // a part named after its start, and says where at the top; neither group nor others may
    // enter the folder or read the part. A part that cannot be written leaves all in place,
    // and the user is told once.
    void olderHalfMovesToAPart()
    {
        QTemporaryDir home;
        const QString blocked = TestFiles::write(home.filePath(QStringLiteral("file")), "x");
        const auto sevenMessages = [](const QString &folder) {
            QTextEdit box;
            Transcript written = transcript(box, QLocale(QLocale::English), folder, { 12, 1000 });
            written.writeSessionOpened(QStringLiteral("sara"));
            for (const char *text : { "1", "2", "3", "4", "5", "6", "7" })
                written.ShowMessage(
                    QStringLiteral("sara"), 1, message("Arial", 10, false, false, 0, text, false));
            return written.plainText();
        };
        const QString folder = home.filePath(QStringLiteral("data/transcripts"));
        const QString part = folder + QStringLiteral("/2002-01-09_16-05-07_part1.rtf");
        const QStringList shown = sevenMessages(folder).split(QStringLiteral("\r\n"));
        QCOMPARE(
            shown.first(), QStringLiteral("Earlier messages of this session are saved in ") + part);
        QCOMPARE(shown.mid(1).join(u'|'),
            QStringLiteral("sara Says : |   3|sara Says : |   4|sara Says : |   5|sara Says : |   "
                           "6|sara Says : |   7"));
        QCOMPARE(TestFiles::read(part).count("sara Says : "), 2);
        QCOMPARE(int(QFile::permissions(folder) | QFile::permissions(part)) & 0x77, 0);
        const QString kept = sevenMessages(blocked + QStringLiteral("/transcripts"));
        QCOMPARE(kept.count(QStringLiteral("sara Says : ")), 7);
        QCOMPARE(kept.count(QStringLiteral("Earlier messages could not be saved (")), 1);
    }

    // The saved file replaces one of that name (no extension added): font and colour tables,
    // the glyph font with the symbol charset and its codes as bytes, text in the code page or
    // as Unicode escapes, RTF specials escaped, paragraphs aligned, Urdu numbers reading left to
    // right as shown. No folder, no file.
    void savedRtf()
    {
        QTemporaryDir folder;
        QTextEdit box;
        box.document()->setDefaultFont(QFont(QStringLiteral("Tahoma")));
        Transcript written = transcript(box);
        written.ShowMessage(QStringLiteral("\u03a9"), 0,
            message("Times", 13, true, false, 255, "caf\xe9 {\\}\t", false));
        written.ShowMessage(QStringLiteral("sara"), 1,
            message("Qirtas1", 16, false, true, 0, "\x5c\x7b \x7d 03:21\r\n", true));
        QVERIFY(!written.saveAs(folder.filePath(QStringLiteral("missing/chat.rtf"))));
        const QString file
            = TestFiles::write(folder.filePath(QStringLiteral("chat")), QByteArray(9999, 'x'));
        QVERIFY(written.saveAs(file));
        QCOMPARE(TestFiles::read(file),
            QByteArray(
                "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n"
                "{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 Arial;}"
                "{\\f2\\fnil\\fcharset0 Times;}{\\f3\\fnil\\fcharset2 Qirtas1;}}\r\n"
                "{\\colortbl;\\red5\\green152\\blue75;\\red255\\green0\\blue0;"
                "\\red113\\green65\\blue152;\\red0\\green0\\blue0;}\r\n"
                "\\pard\\ql\\f1\\fs20\\cf1\\b\\i0 \\par\r\n"
                "\\pard\\ql\\f1\\fs20\\cf1\\b\\i0 \\u937? Says : \\f1\\fs20\\cf1\\b\\i0 \\par\r\n"
                "\\pard\\ql\\f2\\fs26\\cf2\\b\\i0    caf\\'e9 \\{\\\\\\}\\tab "
                "\\f1\\fs20\\cf3\\b\\i0 \\par\r\n"
                "\\pard\\ql\\f1\\fs20\\cf3\\b\\i0 sara Says : \\f1\\fs20\\cf3\\b\\i0 \\par\r\n"
                "\\pard\\qr\\f3\\fs32\\cf4\\b0\\i \\'5c\\'7b \\'7d \\'31\\'32\\'3a\\'33\\'30"
                "\\f3\\fs32\\cf4\\b0\\i \\par\r\n"
                "\\pard\\qr\r\n}\r\n"));
    }

    // In Nastaliq, Urdu shows as Unicode in reading order in a right-to-left paragraph; the
    // saved file, the paragraphs, what a screen reader reads and what a copy gives are those of
    // Naskh, for messages shown before a switch and after it, and back in Naskh all is as it was.
    void nastaliqKeepsWhatIsSaved()
    {
        const auto show = [](Transcript &written, const char *glyphs) {
            written.ShowMessage(
                QStringLiteral("ali"), 0, message("Qirtas1", 14, true, false, 0, glyphs, true));
            written.ShowMessage(
                QStringLiteral("sara"), 1, message("Arial", 10, false, false, 0, "ok", false));
        };
        // سلام, then "\r\n", then لا ۱۲ and a space typed first, on their own line.
        const char *first = "\xc2\x42\xbc\x6d\r\n\r\n21 \xdc";
        const char *second = "\xc2\x42\xbc\x6d";
        TranscriptView naskh;
        Transcript inNaskh = transcript(naskh);
        show(inNaskh, first);
        show(inNaskh, second);
        TranscriptView nastaliq;
        Transcript inNastaliq = transcript(nastaliq);
        QVERIFY(NastaliqFont::install());
        show(inNastaliq, first);
        inNastaliq.setUrduScript(UrduScript::Nastaliq);
        show(inNastaliq, second);
        QCOMPARE(nastaliq.document()->findBlockByNumber(2).text(), QStringLiteral("سلام"));
        QCOMPARE(nastaliq.document()->findBlockByNumber(4).text(), QStringLiteral("لا ۱۲"));
        QCOMPARE(nastaliq.document()->findBlockByNumber(4).blockFormat().layoutDirection(),
            Qt::RightToLeft);
        QCOMPARE(inNastaliq.rtf(), inNaskh.rtf());
        const auto read = [](QWidget &view) {
            return QAccessible::queryAccessibleInterface(&view)->textInterface()->text(0, -1);
        };
        QCOMPARE(read(nastaliq), read(naskh));
        QTextCursor lamAlef(nastaliq.document()->findBlockByNumber(4));
        lamAlef.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 2);
        nastaliq.setTextCursor(lamAlef);
        nastaliq.copy();
        QCOMPARE(
            UrduUnicode::keysFrom(*QApplication::clipboard()->mimeData()).keys, QByteArray("L"));
        inNastaliq.setUrduScript(UrduScript::Naskh);
        QCOMPARE(transcriptRuns(*nastaliq.document()), transcriptRuns(*naskh.document()));
    }

    // Copying and a screen reader give Unicode Urdu in reading order, a copy the keys with it;
    // the reader's caret goes by the letters read: the caret right of the last letter م (on the
    // left) is the reading's fourth offset in the line, after سلا.
    void copyAndScreenReaderGetUnicode()
    {
        TranscriptView view;
        Transcript written(&view);
        written.ShowMessage(QStringLiteral("ali"), 0,
            message("Qirtas1", 12, false, false, 0, "\xc2\x42\xbc\x6d\r\n", true));
        QAccessibleTextInterface *text
            = QAccessible::queryAccessibleInterface(&view)->textInterface();
        QCOMPARE(text->text(0, -1), QStringLiteral("\nali Says : \n\u0633\u0644\u0627\u0645\n\n"));
        const int line = 13;
        QTextCursor caret = view.textCursor();
        caret.setPosition(line + 1);
        view.setTextCursor(caret);
        QCOMPARE(text->cursorPosition(), line + 3);
        text->setCursorPosition(line + 1);
        QCOMPARE(view.textCursor().position(), line + 3);
        view.selectAll();
        view.copy();
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), QStringLiteral("\nali Says : \n\u0633\u0644\u0627\u0645\n"));
        QCOMPARE(UrduUnicode::keysFrom(*copied).keys, QByteArray("slam"));
    }
};

QTEST_MAIN(tst_Transcript)
#include "tst_Transcript.moc"
