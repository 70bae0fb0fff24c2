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

    // Exactly what a peer receives for the text "hi"; a character without a Windows-1252 byte
    // goes as one "?", as the sender's own transcript shows it.
    void encodedMarkupIsExact_data()
    {
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<bool>("urdu");
        QTest::addColumn<QByteArray>("markup");
        const QString arial = QStringLiteral("Arial");
        QTest::newRow("bold italic red") << MessageStyle { arial, 10, true, true, 255 } << false
                                         << QByteArray("\\BLD\\ITL\\F:Arial\\C: 255\\S: 10\\L:0");
        QTest::newRow("italic, window-text colour, 8.25, Urdu")
            << MessageStyle { arial, 8.25, false, true, qint32(0x80000008u) } << true
            << QByteArray("\\ITL\\F:Arial\\C:-2147483640\\S: 8.25\\L:1");
        QTest::newRow("font name beyond Windows-1252") << MessageStyle {
            QStringLiteral("J\u00fcrgen \u20ac\u4e2d\U0001F600\x1a") + QChar(0xd800), 10, false,
            false, 0
        } << false << QByteArray("\\F:J\xfcrgen \x80??\x1a?\\C: 0\\S: 10\\L:0");
    }
    void encodedMarkupIsExact()
    {
        QFETCH(MessageStyle, style);
        QFETCH(bool, urdu);
        QFETCH(QByteArray, markup);
        QCOMPARE(MessageMarkup::EncodeMessage(style, "hi", urdu), markup + "\\{T:hi\\}");
    }

    // Each row starts from an earlier message's values: Tahoma 12 B I 4653723 Urdu "earlier".
    // A field that cannot be read keeps the earlier value, but the text is this message's;
    // without a readable text the message shows as its own bytes in the default style.
    void decodeReadsWhatPeersSend_data()
    {
        QTest::addColumn<QByteArray>("markup");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("shown");
        const auto row
            = [](const char *name, const QByteArray &markup, bool complete, const QString &shown) {
                  QTest::newRow(name) << markup << complete << shown;
              };
        row("\\BLD inside the text", "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a \\BLD b\\}", true,
            QStringLiteral("Arial 10 B - 0 English a \\BLD b"));
        row("\\ITL and tags in the text, cut at its first \\}",
            "\\F:Arial\\C: 0\\S: 10\\L:0\\{T:\\F:x\\C: 9\\ITL\\L:1\\{T:y\\}z\\}", true,
            QStringLiteral("Arial 10 - I 0 English \\F:x\\C: 9\\ITL\\L:1\\{T:y"));
        row("half to even, Windows-1252 font name",
            "\\F:Caf\xe9\x80\\C: 1.5.9\\S: 10.5\\L:0\\{T:\\}", true,
            QStringLiteral("Caf\u00e9\u20ac 10 - - 2 English "));
        row("numbers end at the first other character, no language tag",
            "\\I1\\F:A\\C: 12px\\S:x\\{T:t\\}", true, QStringLiteral("A 0 - - 12 Urdu t"));
        row("colour too large", "\\F:Arial\\C: 2147483648\\S: 10\\L:0\\{T:hi\\}", false,
            QStringLiteral("Arial 12 - - 4653723 Urdu hi"));
        row("size too large", "\\ITL\\F:Arial\\C: 5\\S: 32767.5\\L:0\\{T:hi\\}", false,
            QStringLiteral("Arial 12 - I 5 Urdu hi"));
        row("no font tag", "\\C: 255\\S: 10\\L:0\\{T:hi\\}", false,
            QStringLiteral("Tahoma 12 - - 4653723 Urdu hi"));
        row("no markup at all", "hello", false,
            QStringLiteral("Arial 10 - - -2147483640 English hello"));
        row("text not closed", "\\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1\\{T:hi", false,
            QStringLiteral("Arial 10 - - -2147483640 English \\BLD\\F:Tahoma\\C: 255\\S: 14\\L:1"
                           "\\{T:hi"));
        const QByteArray longest = "\\F:A\\{T:" + QByteArray(32767 - 10, 'x') + "\\}";
        row("longer", longest + ' ', false,
            QStringLiteral("Arial 10 - - -2147483640 English ") + QString::fromLatin1(longest)
                + u' ');
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
