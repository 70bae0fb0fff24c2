#include "chat/MessageMarkup.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(MessageStyle)
Q_DECLARE_METATYPE(DecodedMessage)

namespace {

// What a decode leaves in place where it cannot read the new message.
DecodedMessage earlierMessage()
{
    return { QStringLiteral("Tahoma"), 12, true, true, 4653723, "earlier words", true };
}

DecodedMessage message(const char *font, qint16 size, bool bold, bool italic, qint32 color,
    const QByteArray &text, bool urdu)
{
    return { QString::fromLatin1(font), size, bold, italic, color, text, urdu };
}

} // namespace

class tst_MessageMarkup : public QObject
{
    Q_OBJECT

private slots:
    // Numbers must not follow the desktop's locale.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Exactly what a peer receives; the decode table reads the same markup back.
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

    // Markup from peers, read field by field; each row starts from an earlier message's values.
    void decodeReadsWhatPeersSend_data()
    {
        QTest::addColumn<QByteArray>("markup");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<DecodedMessage>("expected");

        QTest::newRow("\\BLD inside the text makes it bold")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a \\BLD b\\}") << true
            << message("Arial", 10, true, false, 0, "a \\BLD b", false);
        QTest::newRow("text cut at its first \\}")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a\\}b\\}") << true
            << message("Arial", 10, false, false, 0, "a", false);
        QTest::newRow("tags inside the text change nothing")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:\\F:x\\C: 9\\S: 9\\L:1\\{T:y\\}") << true
            << message("Arial", 10, false, false, 0, "\\F:x\\C: 9\\S: 9\\L:1\\{T:y", false);
        QTest::newRow("Urdu glyph 92 then } cuts the text")
            << QByteArray("\\F:Qirtas1\\C: 0\\S: 12\\L:1\\{T:\xc7\\}\xe1\r\n\\}") << true
            << message("Qirtas1", 12, false, false, 0, "\xc7", true);
        QTest::newRow("size 10.5 to the even 10, 11.5 to 12")
            << QByteArray("\\F:A\\C: 1\\S: 10.5\\L:0\\{T:\\}") << true
            << message("A", 10, false, false, 1, "", false);
        QTest::newRow("11.5 to 12") << QByteArray("\\F:A\\C: 1.5\\S: 11.5\\L:0\\{T:\\}") << true
                                    << message("A", 12, false, false, 2, "", false);
        QTest::newRow("numbers end at the first other character")
            << QByteArray("\\F:A\\C: 12px\\S:x\\L:7\\{T:t\\}") << true
            << message("A", 0, false, false, 12, "t", true);
        QTest::newRow("missing language reads the third character")
            << QByteArray("\\I1\\F:A\\C: 0\\S: 10\\{T:t\\}") << true
            << message("A", 10, false, false, 0, "t", true);
        QTest::newRow("Windows-1252 font name")
            << QByteArray("\\F:Caf\xe9\\C: 0\\S: 10\\L:0\\{T:\\}") << true
            << message("Caf\xe9", 10, false, false, 0, "", false);

        // A field that cannot be read keeps the earlier value, but the text is this message's.
        QTest::newRow("colour too large")
            << QByteArray("\\F:Arial\\C: 2147483648\\S: 10\\L:0\\{T:hi\\}") << false
            << message("Arial", 12, false, false, 4653723, "hi", true);
        QTest::newRow("size too large")
            << QByteArray("\\ITL\\F:Arial\\C: 5\\S: 32767.5\\L:0\\{T:hi\\}") << false
            << message("Arial", 12, false, true, 5, "hi", true);
        QTest::newRow("no font tag") << QByteArray("\\C: 255\\S: 10\\L:0\\{T:hi\\}") << false
                                     << message("Tahoma", 12, false, false, 4653723, "hi", true);

        // Without a readable text the message shows as its own bytes, never as earlier words.
        const qint32 windowText = qint32(0x80000008u);
        QTest::newRow("no markup at all") << QByteArray(
            "hello") << false << message("Arial", 10, false, false, windowText, "hello", false);
        QTest::newRow("text not closed")
            << QByteArray("\\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi") << false
            << message("Arial", 10, false, false, windowText,
                   "\\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi", false);
        QTest::newRow("closing without opening")
            << QByteArray("\\F:Tahoma\\C: 255\\S: 14\\L:1 hi\\}") << false
            << message("Arial", 10, false, false, windowText,
                   "\\F:Tahoma\\C: 255\\S: 14\\L:1 hi\\}", false);
        const QByteArray huge = "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:" + QByteArray(32767, 'x') + "\\}";
        QTest::newRow("longer than 32767")
            << huge << false << message("Arial", 10, false, false, windowText, huge, false);
    }
    void decodeReadsWhatPeersSend()
    {
        QFETCH(QByteArray, markup);
        QFETCH(bool, complete);
        QFETCH(DecodedMessage, expected);
        DecodedMessage decoded = earlierMessage();
        QCOMPARE(MessageMarkup::DecodeMessage(markup, decoded), complete);
        const auto fields = [](const DecodedMessage &m) {
            return QVariantList { m.MsgFontName, m.MsgFontSize, m.MsgBold, m.MsgItalic, m.MsgColor,
                m.MsgText, m.MsgUrdu };
        };
        QCOMPARE(fields(decoded), fields(expected));
    }
};

QTEST_GUILESS_MAIN(tst_MessageMarkup)
#include "tst_MessageMarkup.moc"
