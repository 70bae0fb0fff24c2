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
        QTest::newRow("identity of the callee") << QByteArray("{SEND}a/b/c/") << Tag::Send;
        QTest::newRow("identity of the caller") << QByteArray("{RECEV}a/b/c/") << Tag::Recev;
        QTest::newRow("accepted") << QByteArray("{YES}") << Tag::Yes;
        QTest::newRow("refused") << QByteArray("{NOT}") << Tag::Not;
        QTest::newRow("accepted with more after it") << QByteArray("{YES}\\F:A") << Tag::None;
        QTest::newRow("lower case") << QByteArray("{yes}") << Tag::None;
        QTest::newRow("blank before the tag") << QByteArray(" {SEND}a/b/c/") << Tag::None;
        QTest::newRow("chat message")
            << QByteArray("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:{YES}\\}") << Tag::None;
    }
    void messagesAreRecognisedByTheirTags()
    {
        QFETCH(QByteArray, message);
        QFETCH(Tag, tag);
        QCOMPARE(Handshake::classify(message), tag);
    }

    // The bytes a peer receives for an identity in Windows-1252 (the plain ones are checked
    // on the wire), and for our answers.
    void identityAndAnswersAreExact()
    {
        QCOMPARE(Handshake::identityMessage(Tag::Recev, QStringLiteral("J\u00fcrgen \u4e2d"),
                     QString(), QStringLiteral("x")),
            QByteArray("{RECEV}J\xfcrgen ?//x/"));
        QCOMPARE(Handshake::yes(), QByteArray("{YES}"));
        QCOMPARE(Handshake::no(), QByteArray("{NOT}"));
    }

    // Fields are read as partners have always read them, quirks included; each row starts
    // from the identity an earlier handshake left.
    void identityFieldsAreReadAsPeersExpect_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<Tag>("tag");
        QTest::addColumn<QStringList>("fields");

        QTest::newRow("well formed") << QByteArray("{SEND}nick/Full Name/a@b.c/") << Tag::Send
                                     << QStringList { QStringLiteral("nick"),
                                            QStringLiteral("Full Name"), QStringLiteral("a@b.c") };
        QTest::newRow("caller's, longer tag")
            << QByteArray("{RECEV}n/f/e/") << Tag::Recev
            << QStringList { QStringLiteral("n"), QStringLiteral("f"), QStringLiteral("e") };
        QTest::newRow("Windows-1252 bytes") << QByteArray("{SEND}J\xfcrgen/\x80/x/") << Tag::Send
                                            << QStringList { QStringLiteral("J\u00fcrgen"),
                                                   QStringLiteral("\u20ac"), QStringLiteral("x") };
        QTest::newRow("empty full name and e-mail")
            << QByteArray("{SEND}nick///") << Tag::Send
            << QStringList { QStringLiteral("nick"), QStringLiteral(""), QStringLiteral("") };
        QTest::newRow("empty nickname skips its slash")
            << QByteArray("{SEND}/Full Name/a@b.c/") << Tag::Send
            << QStringList { QStringLiteral("/Full Name"), QStringLiteral("a@b.c"),
                   QStringLiteral("old e-mail") };
        QTest::newRow("a slash inside a field shifts the rest")
            << QByteArray("{SEND}a/b/Full/mail/") << Tag::Send
            << QStringList { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("Full") };
        QTest::newRow("no separators keep everything")
            << QByteArray("{SEND}nick") << Tag::Send
            << QStringList { QStringLiteral("old nick"), QStringLiteral("old name"),
                   QStringLiteral("old e-mail") };
        QTest::newRow("a missing separator restarts at the front")
            << QByteArray("{SEND}nick/Full") << Tag::Send
            << QStringList { QStringLiteral("nick"), QStringLiteral("old name"),
                   QStringLiteral("{SEND}nick") };
        QTest::newRow("bare tag and slash")
            << QByteArray("{SEND}/") << Tag::Send
            << QStringList { QStringLiteral("old nick"), QStringLiteral("{SEND}"),
                   QStringLiteral("old e-mail") };
        QTest::newRow("longer than 32767 is not read")
            << "{SEND}n/f/" + QByteArray(32757, 'e') + '/' << Tag::Send
            << QStringList { QStringLiteral("old nick"), QStringLiteral("old name"),
                   QStringLiteral("old e-mail") };
    }
    void identityFieldsAreReadAsPeersExpect()
    {
        QFETCH(QByteArray, message);
        QFETCH(Tag, tag);
        QFETCH(QStringList, fields);
        PartnerIdentity identity { QStringLiteral("old nick"), QStringLiteral("old name"),
            QStringLiteral("old e-mail") };
        Handshake::readIdentity(message, tag, identity);
        QCOMPARE((QStringList { identity.nickname, identity.fullName, identity.email }), fields);
    }
};

QTEST_GUILESS_MAIN(tst_Handshake)
#include "tst_Handshake.moc"
