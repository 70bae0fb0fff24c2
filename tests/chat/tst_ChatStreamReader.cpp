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
        QTest::newRow("two joined")
            << Messages { Plain + BoldItalic } << Messages { Plain, BoldItalic } << QByteArray();
        QTest::newRow("tags inside a text")
            << Messages { Italic + Plain } << Messages { Italic, Plain } << QByteArray();
        QTest::newRow("accepted and the first message")
            << Messages { "{YES}" + Urdu } << Messages { "{YES}", Urdu } << QByteArray();
        QTest::newRow("identity then acceptance")
            << Messages { Identity + "{NOT}" } << Messages { Identity, "{NOT}" } << QByteArray();
        QTest::newRow("slash inside a field") << Messages { SlashInField + Plain }
                                              << Messages { SlashInField, Plain } << QByteArray();
        QTest::newRow("text holding \\} then another message")
            << Messages { CutText + Plain } << Messages { CutText, Plain } << QByteArray();
        QTest::newRow("garbage runs to the next message")
            << Messages { "hello" + Plain } << Messages { "hello", Plain } << QByteArray();
        QTest::newRow("almost a tag")
            << Messages { "{YESX" + Plain } << Messages { "{YESX", Plain } << QByteArray();
        QTest::newRow("acceptance with bytes after it")
            << Messages { "{YES}x{NOT}" } << Messages { "{YES}", "x", "{NOT}" } << QByteArray();
        QTest::newRow("start of a tag completed")
            << Messages { Plain + "{RE", "CEV}a/b/c/" } << Messages { Plain, "{RECEV}a/b/c/" }
            << QByteArray();
        QTest::newRow("a closing cut in two")
            << Messages { "{YES}" + Plain.chopped(1), "}" + Plain }
            << Messages { "{YES}", Plain, Plain } << QByteArray();
        QTest::newRow("a text begun behind an earlier message")
            << Messages { "{YES}" + Urdu.left(30), Urdu.mid(30) } << Messages { "{YES}", Urdu }
            << QByteArray();
        QTest::newRow("markup without its end waits")
            << Messages { Plain.chopped(1) } << Messages {} << Plain.chopped(1);
        QTest::newRow("identity without its last slash waits")
            << Messages { Identity.chopped(1) } << Messages {} << Identity.chopped(1);
        QTest::newRow("bytes after a message's end wait with it")
            << Messages { Plain + "tail" } << Messages {} << Plain + "tail";
        const QByteArray endless = "\\F:" + QByteArray(40000, 'x');
        QTest::newRow("endless markup cut at 32767")
            << Messages { endless } << Messages { endless.left(32767), endless.mid(32767) }
            << QByteArray();
        const QByteArray identity = "{SEND}" + QByteArray(40000, 'n') + "///";
        QTest::newRow("endless identity cut at 32767")
            << Messages { identity.left(20000), identity.mid(20000) }
            << Messages { identity.left(32767), identity.mid(32767) } << QByteArray();
        const QByteArray garbage(40000, 'x');
        QTest::newRow("endless garbage cut at 32767")
            << Messages { garbage } << Messages { garbage.left(32767), garbage.mid(32767) }
            << QByteArray();
        const QByteArray fullIdentity = "{SEND}" + QByteArray(32767 - 6, 'n');
        QTest::newRow("32767 bytes of identity go at once")
            << Messages { fullIdentity } << Messages { fullIdentity } << QByteArray();
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
            out += reader.feed(arrival, 0);
        QCOMPARE(out, messages);
        QCOMPARE(reader.expire(ChatStreamReader::PartialTimeoutMs - 1), Messages {});
        QCOMPARE(reader.expire(ChatStreamReader::PartialTimeoutMs),
            held.isEmpty() ? Messages {} : Messages { held });
    }

    // A message that has only begun waits three seconds from its first bytes, then is handed
    // out as it stands; what arrives afterwards is read afresh.
    void partialMessageWaitsThenGoesAsItStands()
    {
        ChatStreamReader reader;
        QCOMPARE(reader.msUntilExpiry(0), qint64(-1));
        QCOMPARE(reader.feed(Plain.left(10), 1000), Messages {});
        QCOMPARE(reader.msUntilExpiry(1500), qint64(2500));
        QCOMPARE(reader.feed(Plain.mid(10) + Plain.left(10), 2000), Messages { Plain });
        QCOMPARE(reader.feed(Plain.mid(10, 10), 2500), Messages {});
        QCOMPARE(reader.msUntilExpiry(2500), qint64(2500));
        QCOMPARE(reader.expire(4999), Messages {});
        QCOMPARE(reader.expire(5000), Messages { Plain.left(20) });
        QCOMPARE(reader.msUntilExpiry(5000), qint64(-1));
        QCOMPARE(reader.feed(Plain.mid(20), 5000), Messages { Plain.mid(20) });
        reader.feed("{NO", 6000);
        reader.clear();
        QCOMPARE(reader.feed("T}", 6000), Messages { "T}" });
    }
};

QTEST_GUILESS_MAIN(tst_ChatStreamReader)
#include "tst_ChatStreamReader.moc"
