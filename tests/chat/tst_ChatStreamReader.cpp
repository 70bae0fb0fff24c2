#include "chat/ChatStreamReader.h"

#include <QTest>

using Messages = QList<QByteArray>;

namespace {

const QByteArray Plain("\\F:Arial\\C: 255\\S: 10\\L:0\\{T:hi\\}");
const QByteArray BoldItalic("\\BLD\\ITL\\F:Tahoma\\C:-2147483640\\S: 8.25\\L:0\\{T:there\\}");
const QByteArray Italic("\\ITL\\F:Tahoma\\C: 0\\S: 9\\L:0\\{T:{YES} / {SEND}\\}");
const QByteArray Urdu("\\F:Qirtas1\\C: 0\\S: 14\\L:1\\{T:\xc7\xe1 {\\\xa0\r\n\xb3\r\n\\}");
const QByteArray CutText("\\F:Arial\\C: 0\\S: 10\\L:0\\{T:a\\}b\\}");
const QByteArray Identity("{SEND}nick/Full Name/a@b.c/");
const QByteArray SlashInField("{RECEV}a/b/Full Name/a@b.c/");

// A message longer than a partner can read goes in pieces of 32767 bytes.
Messages cut(const QByteArray &message)
{
    return { message.left(32767), message.mid(32767) };
}

} // namespace

class tst_ChatStreamReader : public QObject
{
    Q_OBJECT

private slots:
    // Arrivals as TCP may deliver them, all at one moment; nothing may be lost or repeated,
    // and what is held goes out as it stands once it has waited long enough.
    void arrivalsAreCutIntoMessages_data()
    {
        QTest::addColumn<Messages>("arrivals");
        QTest::addColumn<Messages>("messages");
        QTest::addColumn<QByteArray>("held");
        QTest::newRow("joined, with tags and \\} inside texts, and bytes that are no message")
            << Messages { SlashInField + Identity + "{NOT}" + Italic + Plain + "{YES}" + Urdu
                   + CutText + BoldItalic + "{YES}x{NOT}" + "{YESX" + Plain }
            << Messages { SlashInField, Identity, "{NOT}", Italic, Plain, "{YES}", Urdu, CutText,
                   BoldItalic, "{YES}", "x", "{NOT}", "{YESX", Plain }
            << QByteArray();
        QTest::newRow("split inside a tag, a text tag and a closing")
            << Messages { Plain + "{RE", "CEV}a/b/c/{YES}" + Urdu.left(30),
                   Urdu.mid(30) + Plain.left(27), Plain.mid(27).chopped(1), "}" }
            << Messages { Plain, "{RECEV}a/b/c/", "{YES}", Urdu, Plain } << QByteArray();
        QTest::newRow("identity split after a field; a start cut after bytes that are none")
            << Messages { "{SEND}a/", "b/c/x{", "NOT}" }
            << Messages { "{SEND}a/b/c/", "x", "{NOT}" } << QByteArray();
        QTest::newRow("identity without its last slash waits")
            << Messages { Identity.chopped(1) } << Messages {} << Identity.chopped(1);
        const QByteArray endless = "\\F:" + QByteArray(40000, 'x');
        QTest::newRow("endless markup") << Messages { endless } << cut(endless) << QByteArray();
        const QByteArray identity = "{SEND}" + QByteArray(40000, 'n') + "///";
        QTest::newRow("endless identity") << Messages { identity.left(20000), identity.mid(20000) }
                                          << cut(identity) << QByteArray();
        const QByteArray garbage(40000, 'x');
        QTest::newRow("endless garbage") << Messages { garbage } << cut(garbage) << QByteArray();
        const QByteArray fullIdentity = "{SEND}" + QByteArray(32767 - 6, 'n');
        QTest::newRow("32767 bytes of identity go at once")
            << Messages { fullIdentity } << Messages { fullIdentity } << QByteArray();
        const QByteArray fields = "{SEND}a/b/c/" + QByteArray(32767 - 12, 'y');
        QTest::newRow("a / past 32767 bytes ends no identity")
            << Messages { fields + "/{YES}" }
            << Messages { fields.left(12), fields.mid(12) + "/", "{YES}" } << QByteArray();
        const QByteArray over = "\\F:A\\{T:" + QByteArray(32767 - 9, 'x') + "\\}";
        QTest::newRow("one byte over 32767 is cut")
            << Messages { over + Plain } << Messages { over.left(32767), "}", Plain }
            << QByteArray();
    }
    void arrivalsAreCutIntoMessages()
    {
        QFETCH(Messages, arrivals);
        QFETCH(Messages, messages);
        QFETCH(QByteArray, held);
        ChatStreamReader reader;
        Messages out;
        for (const QByteArray &arrival : arrivals)
            out += reader.feed(arrival, 0).toList();
        QCOMPARE(out, messages);
        QCOMPARE(reader.expire(ChatStreamReader::PartialTimeoutMs - 1).toList(), Messages {});
        QCOMPARE(reader.expire(ChatStreamReader::PartialTimeoutMs).toList(),
            held.isEmpty() ? Messages {} : Messages { held });
    }

    // A message that has only begun waits three seconds from its first bytes.
    void partialMessageWaitsThenGoesAsItStands()
    {
        ChatStreamReader reader;
        QCOMPARE(reader.feed(Plain.left(10), 1000).toList(), Messages {});
        const ChatMessages handedOut = reader.feed(Plain.mid(10) + Plain.left(10), 2000);
        // The reader's buffer changes again; what it handed out stays as it was.
        QCOMPARE(reader.feed(Plain.mid(10) + Plain.left(10), 2000).toList(), Messages { Plain });
        QCOMPARE(handedOut.toList(), Messages { Plain });
        QCOMPARE(reader.msUntilExpiry(2500), qint64(2500));
        QCOMPARE(reader.expire(4999).toList(), Messages {});
        QCOMPARE(reader.expire(5000).toList(), Messages { Plain.left(10) });
        QCOMPARE(reader.msUntilExpiry(5000), qint64(-1));
    }
};

QTEST_GUILESS_MAIN(tst_ChatStreamReader)
#include "tst_ChatStreamReader.moc"
