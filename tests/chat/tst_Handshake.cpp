#include "chat/Handshake.h"

#include <QTest>

class tst_Handshake : public QObject
{
    Q_OBJECT

private slots:
    // Only a whole tag at the very start makes a handshake message; fields are read as
    // partners have always read them, quirks included, from the identity an earlier handshake
    // left ("N", "F", "E"), with what would break a line or steer the display as blanks.
    void messagesAreReadAsPeersExpect_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("read");
        const auto row = [](const char *message, const char *read) {
            QTest::newRow(message) << QByteArray(message) << QString::fromUtf8(read);
        };
        row("{SEND}J\xfcrgen/\x80/x/", "Send J\u00fcrgen|\u20ac|x");
        row("{RECEV}n///", "Recev n||");
        row("{YES}", "Yes N|F|E");
        row("{NOT}", "Not N|F|E");
        row("{YES}\\F:A", "None N|F|E");
        row("{NOT} ", "None N|F|E");
        row(" {SEND}a/b/c/", "None N|F|E");
        row("{SEND}nick", "Send N|F|E");
        row("{SEND}nick/Full", "Send nick|F|{SEND}nick");
        row("{SEND}/", "Send N|{SEND}|E");
        row("{SEND}/Ali Khan/ali@example.org/", "Send /Ali Khan|ali@example.org|E");
        row("{RECEV}ali/Ali/Khan/ali@example.org/", "Recev ali|Ali|Khan");
        QTest::newRow("controls blanked") << QByteArray("{SEND}a\tb\r\nc/\x1b[2J\x7f/\x81\x9d\x80/")
                                          << QStringLiteral("Send a b  c| [2J |  \u20ac");
        const QByteArray longest = "{SEND}n/f/" + QByteArray(32756, 'e') + '/';
        QTest::newRow("32767 bytes")
            << longest << QStringLiteral("Send n|f|") + QString(32756, u'e');
        QTest::newRow("longer") << longest + ' ' << QStringLiteral("Send N|F|E");
    }
    void messagesAreReadAsPeersExpect()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, read);
        PartnerIdentity identity { QStringLiteral("N"), QStringLiteral("F"), QStringLiteral("E") };
        const Handshake::Tag tag = Handshake::classify(message);
        Handshake::readIdentity(message, tag, identity);
        const char *const tags[] = { "None", "Send", "Recev", "Yes", "Not" };
        const QStringList fields { identity.nickname, identity.fullName, identity.email };
        QCOMPARE(QString::fromLatin1(tags[int(tag)]) + u' ' + fields.join(u'|'), read);
    }
};

QTEST_GUILESS_MAIN(tst_Handshake)
#include "tst_Handshake.moc"
