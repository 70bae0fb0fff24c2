#include "chat/Handshake.h"

#include <QTest>

using Tag = Handshake::Tag;

class tst_Handshake : public QObject
{
    Q_OBJECT

private slots:
    // Only a whole tag at the very start makes a handshake message; anything else is chat.
    void messagesAreRecognisedByTheirTags_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<Tag>("tag");
        QTest::newRow("callee's identity") << QByteArray("{SEND}a/b/c/") << Tag::Send;
        QTest::newRow("caller's identity") << QByteArray("{RECEV}a/b/c/") << Tag::Recev;
        QTest::newRow("accepted") << QByteArray("{YES}") << Tag::Yes;
        QTest::newRow("refused") << QByteArray("{NOT}") << Tag::Not;
        QTest::newRow("accepted with more") << QByteArray("{YES}\\F:A") << Tag::None;
        QTest::newRow("refused with more") << QByteArray("{NOT} ") << Tag::None;
        QTest::newRow("lower case") << QByteArray("{yes}") << Tag::None;
        QTest::newRow("tags in a text") << QByteArray("\\F:A\\{T:{SEND}{RECEV}\\}") << Tag::None;
        QTest::newRow("blank before the tag") << QByteArray(" {SEND}a/b/c/") << Tag::None;
    }
    void messagesAreRecognisedByTheirTags()
    {
        QFETCH(QByteArray, message);
        QFETCH(Tag, tag);
        QCOMPARE(Handshake::classify(message), tag);
    }

    // Fields are read as partners have always read them, quirks included; each row starts
    // from the identity an earlier handshake left ("N", "F", "E").
    void identityFieldsAreReadAsPeersExpect_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("fields");
        QTest::newRow("Windows-1252")
            << QByteArray("{SEND}J\xfcrgen/\x80/x/") << QStringLiteral("J\u00fcrgen|\u20ac|x");
        QTest::newRow("empty full name and e-mail")
            << QByteArray("{RECEV}n///") << QStringLiteral("n||");
        QTest::newRow("no separators keep everything")
            << QByteArray("{SEND}nick") << QStringLiteral("N|F|E");
        QTest::newRow("a missing separator restarts at the front")
            << QByteArray("{SEND}nick/Full") << QStringLiteral("nick|F|{SEND}nick");
        QTest::newRow("bare tag and slash")
            << QByteArray("{SEND}/") << QStringLiteral("N|{SEND}|E");
        QTest::newRow("32767 bytes are read") << "{SEND}n/f/" + QByteArray(32756, 'e') + '/'
                                              << QStringLiteral("n|f|") + QString(32756, u'e');
        QTest::newRow("longer is not")
            << "{SEND}n/f/" + QByteArray(32757, 'e') + '/' << QStringLiteral("N|F|E");
        QTest::newRow("no tag") << QByteArray("{YES}a/b/c/") << QStringLiteral("N|F|E");
    }
    void identityFieldsAreReadAsPeersExpect()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, fields);
        PartnerIdentity identity { QStringLiteral("N"), QStringLiteral("F"), QStringLiteral("E") };
        Handshake::readIdentity(message, Handshake::classify(message), identity);
        QCOMPARE((QStringList { identity.nickname, identity.fullName, identity.email }),
            fields.split(u'|'));
    }
};

QTEST_GUILESS_MAIN(tst_Handshake)
#include "tst_Handshake.moc"
