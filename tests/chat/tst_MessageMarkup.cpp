#include "chat/MessageMarkup.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(MessageStyle)

class tst_MessageMarkup : public QObject
{
    Q_OBJECT

private slots:
    // Numbers must not follow the desktop's locale.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Exactly what a peer receives.
    void encodedMarkupIsExact_data()
    {
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("urdu");
        QTest::addColumn<QByteArray>("markup");
        const QString arial = QStringLiteral("Arial");
        QTest::newRow("bold italic red Arial 10")
            << MessageStyle { arial, 10, true, true, 255 } << QByteArray("hi") << false
            << QByteArray("\\BLD\\ITL\\F:Arial\\C: 255\\S: 10\\L:0\\{T:hi\\}");
        QTest::newRow("italic only, size with fraction")
            << MessageStyle { QStringLiteral("Tahoma"), 8.25, false, true, 16711680 }
            << QByteArray("x") << false
            << QByteArray("\\ITL\\F:Tahoma\\C: 16711680\\S: 8.25\\L:0\\{T:x\\}");
        QTest::newRow("window-text colour")
            << MessageStyle { arial, 13.5, false, false, qint32(0x80000008u) } << QByteArray("x")
            << false << QByteArray("\\F:Arial\\C:-2147483640\\S: 13.5\\L:0\\{T:x\\}");
        QTest::newRow("Urdu glyph bytes with CR LF")
            << MessageStyle { QStringLiteral("Qirtas1"), 10.5, false, false, 0 }
            << QByteArray("\xe1\xa0 \xc7\r\n") << true
            << QByteArray("\\F:Qirtas1\\C: 0\\S: 10.5\\L:1\\{T:\xe1\xa0 \xc7\r\n\\}");
        QTest::newRow("font name beyond Windows-1252")
            << MessageStyle { QStringLiteral("Caf\u00e9 \u4e2d"), 10, false, false, 0 }
            << QByteArray() << false << QByteArray("\\F:Caf\xe9 ?\\C: 0\\S: 10\\L:0\\{T:\\}");
    }
    void encodedMarkupIsExact()
    {
        QFETCH(MessageStyle, style);
        QFETCH(QByteArray, text);
        QFETCH(bool, urdu);
        QFETCH(QByteArray, markup);
        QCOMPARE(MessageMarkup::EncodeMessage(style, text, urdu), markup);
    }

    // Markup from peers, read field by field, as "font size bold italic colour language text";
    // each row starts from an earlier message's values: Tahoma 12 B I 4653723 Urdu "earlier".
    void decodeReadsWhatPeersSend_data()
    {
        QTest::addColumn<QByteArray>("markup");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("shown");
        QTest::newRow("\\BLD inside the text makes it bold")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a \\BLD b\\}") << true
            << QStringLiteral("Arial 10 B - 0 English a \\BLD b");
        QTest::newRow("text cut at its first \\}")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a\\}b\\}") << true
            << QStringLiteral("Arial 10 - - 0 English a");
        QTest::newRow("tags inside the text change nothing")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:\\F:x\\C: 9\\S: 9\\L:1\\{T:y\\}") << true
            << QStringLiteral("Arial 10 - - 0 English \\F:x\\C: 9\\S: 9\\L:1\\{T:y");
        QTest::newRow("Urdu glyph 92 then } cuts the text")
            << QByteArray("\\F:Qirtas1\\C: 0\\S: 12\\L:1\\{T:\xc7\\}\xe1\r\n\\}") << true
            << QStringLiteral("Qirtas1 12 - - 0 Urdu \u00c7");
        QTest::newRow("size 10.5 to the even 10") << QByteArray("\\F:A\\C: 1\\S: 10.5\\L:0\\{T:\\}")
                                                  << true << QStringLiteral("A 10 - - 1 English ");
        QTest::newRow("11.5 to 12, colour 1.5 to 2")
            << QByteArray("\\F:A\\C: 1.5.9\\S: 11.5\\L:0\\{T:\\}") << true
            << QStringLiteral("A 12 - - 2 English ");
        QTest::newRow("numbers end at the first other character") << QByteArray(
            "\\F:A\\C: 12px\\S:x\\L:7\\{T:t\\}") << true << QStringLiteral("A 0 - - 12 Urdu t");
        QTest::newRow("missing language reads the third character") << QByteArray(
            "\\I1\\F:A\\C: 0\\S: 10\\{T:t\\}") << true << QStringLiteral("A 10 - - 0 Urdu t");
        QTest::newRow("Windows-1252 font name")
            << QByteArray("\\F:Caf\xe9\x80\\C: 0\\S: 10\\L:0\\{T:\\}") << true
            << QStringLiteral("Caf\u00e9\u20ac 10 - - 0 English ");
        // A field that cannot be read keeps the earlier value, but the text is this message's.
        QTest::newRow("colour too large")
            << QByteArray("\\F:Arial\\C: 2147483648\\S: 10\\L:0\\{T:hi\\}") << false
            << QStringLiteral("Arial 12 - - 4653723 Urdu hi");
        QTest::newRow("size too large")
            << QByteArray("\\ITL\\F:Arial\\C: 5\\S: 32767.5\\L:0\\{T:hi\\}") << false
            << QStringLiteral("Arial 12 - I 5 Urdu hi");
        QTest::newRow("no font tag") << QByteArray("\\C: 255\\S: 10\\L:0\\{T:hi\\}") << false
                                     << QStringLiteral("Tahoma 12 - - 4653723 Urdu hi");
        // Without a readable text the message shows as its own bytes, never as earlier words.
        QTest::newRow("no markup at all") << QByteArray(
            "hello") << false << QStringLiteral("Arial 10 - - -2147483640 English hello");
        QTest::newRow("text not closed")
            << QByteArray("\\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi") << false
            << QStringLiteral(
                   "Arial 10 - - -2147483640 English \\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi");
        QTest::newRow("closing without opening")
            << QByteArray("\\F:Tahoma\\C: 255\\S: 14\\L:1 hi\\}") << false
            << QStringLiteral(
                   "Arial 10 - - -2147483640 English \\F:Tahoma\\C: 255\\S: 14\\L:1 hi\\}");
        const QByteArray text(32767 - 29, 'x');
        const QByteArray longest = "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:" + text + "\\}";
        QTest::newRow("32767 bytes")
            << longest << true
            << QStringLiteral("Arial 10 - - 0 English ") + QString::fromLatin1(text);
        QTest::newRow("longer") << longest + ' ' << false
                                << QStringLiteral("Arial 10 - - -2147483640 English ")
                + QString::fromLatin1(longest + ' ');
    }
    void decodeReadsWhatPeersSend()
    {
        QFETCH(QByteArray, markup);
        QFETCH(bool, complete);
        QFETCH(QString, shown);
        DecodedMessage m { QStringLiteral("Tahoma"), 12, true, true, 4653723, "earlier", true };
        QCOMPARE(MessageMarkup::DecodeMessage(markup, m), complete);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                     .arg(m.MsgFontName)
                     .arg(m.MsgFontSize)
                     .arg(m.MsgBold ? QStringLiteral("B") : QStringLiteral("-"))
                     .arg(m.MsgItalic ? QStringLiteral("I") : QStringLiteral("-"))
                     .arg(m.MsgColor)
                     .arg(m.MsgUrdu ? QStringLiteral("Urdu") : QStringLiteral("English"))
                     .arg(QString::fromLatin1(m.MsgText)),
            shown);
    }
};

QTEST_GUILESS_MAIN(tst_MessageMarkup)
#include "tst_MessageMarkup.moc"
