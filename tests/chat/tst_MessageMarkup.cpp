#include "chat/MessageMarkup.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(MessageStyle)

namespace {

void encodeRow(const char *name, const MessageStyle &style, const QByteArray &text, bool urdu,
    const QByteArray &markup)
{
    QTest::newRow(name) << style << text << urdu << markup;
}

// Markup a peer sent, and how it shows as "font size bold italic colour language text".
void decodeRow(const char *name, const QByteArray &markup, bool complete, const char *shown)
{
    QTest::newRow(name) << markup << complete << QString::fromUtf8(shown);
}

} // namespace

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
        encodeRow("bold italic red", { arial, 10, true, true, 255 }, "hi", false,
            "\\BLD\\ITL\\F:Arial\\C: 255\\S: 10\\L:0\\{T:hi\\}");
        encodeRow("italic, size with a fraction",
            { QStringLiteral("Tahoma"), 8.25, false, true, 16711680 }, "x", false,
            "\\ITL\\F:Tahoma\\C: 16711680\\S: 8.25\\L:0\\{T:x\\}");
        encodeRow("window-text colour", { arial, 13.5, false, false, qint32(0x80000008u) }, "x",
            false, "\\F:Arial\\C:-2147483640\\S: 13.5\\L:0\\{T:x\\}");
        encodeRow("Urdu glyph bytes with CR LF",
            { QStringLiteral("Qirtas1"), 10.5, false, false, 0 }, "\xe1\xa0 \xc7\r\n", true,
            "\\F:Qirtas1\\C: 0\\S: 10.5\\L:1\\{T:\xe1\xa0 \xc7\r\n\\}");
        encodeRow("font name beyond Windows-1252",
            { QStringLiteral("Caf\u00e9 \u4e2d"), 10, false, false, 0 }, "", false,
            "\\F:Caf\xe9 ?\\C: 0\\S: 10\\L:0\\{T:\\}");
    }
    void encodedMarkupIsExact()
    {
        QFETCH(MessageStyle, style);
        QFETCH(QByteArray, text);
        QFETCH(bool, urdu);
        QFETCH(QByteArray, markup);
        QCOMPARE(MessageMarkup::EncodeMessage(style, text, urdu), markup);
    }

    // Each row starts from an earlier message's values: Tahoma 12 B I 4653723 Urdu "earlier".
    void decodeReadsWhatPeersSend_data()
    {
        QTest::addColumn<QByteArray>("markup");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("shown");
        decodeRow("\\BLD inside the text makes it bold",
            "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a \\BLD b\\}", true,
            "Arial 10 B - 0 English a \\BLD b");
        decodeRow("text cut at its first \\}", "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a\\}b\\}", true,
            "Arial 10 - - 0 English a");
        decodeRow("tags inside the text change nothing",
            "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:\\F:x\\C: 9\\S: 9\\L:1\\{T:y\\}", true,
            "Arial 10 - - 0 English \\F:x\\C: 9\\S: 9\\L:1\\{T:y");
        decodeRow("Urdu glyph 92 then } cuts the text",
            "\\F:Qirtas1\\C: 0\\S: 12\\L:1\\{T:\xc7\\}\xe1\r\n\\}", true,
            "Qirtas1 12 - - 0 Urdu \u00c7");
        decodeRow("size 10.5 to the even 10", "\\F:A\\C: 1\\S: 10.5\\L:0\\{T:\\}", true,
            "A 10 - - 1 English ");
        decodeRow("11.5 to 12, colour 1.5 to 2", "\\F:A\\C: 1.5.9\\S: 11.5\\L:0\\{T:\\}", true,
            "A 12 - - 2 English ");
        decodeRow("numbers end at the first other character", "\\F:A\\C: 12px\\S:x\\L:7\\{T:t\\}",
            true, "A 0 - - 12 Urdu t");
        decodeRow("missing language reads the third character", "\\I1\\F:A\\C: 0\\S: 10\\{T:t\\}",
            true, "A 10 - - 0 Urdu t");
        decodeRow("Windows-1252 font name", "\\F:Caf\xe9\x80\\C: 0\\S: 10\\L:0\\{T:\\}", true,
            "Caf\u00e9\u20ac 10 - - 0 English ");
        // A field that cannot be read keeps the earlier value, but the text is this message's.
        decodeRow("colour too large", "\\F:Arial\\C: 2147483648\\S: 10\\L:0\\{T:hi\\}", false,
            "Arial 12 - - 4653723 Urdu hi");
        decodeRow("size too large", "\\ITL\\F:Arial\\C: 5\\S: 32767.5\\L:0\\{T:hi\\}", false,
            "Arial 12 - I 5 Urdu hi");
        decodeRow("no font tag", "\\C: 255\\S: 10\\L:0\\{T:hi\\}", false,
            "Tahoma 12 - - 4653723 Urdu hi");
        // Without a readable text the message shows as its own bytes, never as earlier words.
        decodeRow("no markup at all", "hello", false, "Arial 10 - - -2147483640 English hello");
        decodeRow("text not closed", "\\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi", false,
            "Arial 10 - - -2147483640 English \\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi");
        decodeRow("closing without opening", "\\F:Tahoma\\C: 255\\S: 14\\L:1 hi\\}", false,
            "Arial 10 - - -2147483640 English \\F:Tahoma\\C: 255\\S: 14\\L:1 hi\\}");
        const QByteArray longest = "\\F:A\\{T:" + QByteArray(32767 - 10, 'x') + "\\}";
        QTest::newRow("32767 bytes")
            << longest << false
            << QStringLiteral("A 12 - - 4653723 Urdu ") + QString(32767 - 10, u'x');
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
        const auto flag = [](bool set, char16_t letter) { return QString(set ? letter : u'-'); };
        QCOMPARE(QStringList({ m.MsgFontName, QString::number(m.MsgFontSize), flag(m.MsgBold, u'B'),
                                 flag(m.MsgItalic, u'I'), QString::number(m.MsgColor),
                                 m.MsgUrdu ? QStringLiteral("Urdu") : QStringLiteral("English"),
                                 QString::fromLatin1(m.MsgText) })
                     .join(u' '),
            shown);
    }
};

QTEST_GUILESS_MAIN(tst_MessageMarkup)
#include "tst_MessageMarkup.moc"
