#include "controls/UrduText.h"
#include "support/TestProgram.h"
#include "ui/Transcript.h"
#include "ui/UrduScriptChoice.h"

#include <QAction>
#include <QTest>
#include <QTextEdit>

class tst_UrduScriptChoice : public QObject
{
    Q_OBJECT

private slots:
    // The stored Nastaliq is drawn at once where its font loads; where it does not, the user is
    // told why and Urdu stays in Naskh, which is then what is stored. The entries are exclusive.
    void choice_data()
    {
        QTest::addColumn<bool>("fontLoads");
        QTest::newRow("font installed") << true;
        QTest::newRow("font missing") << false;
    }
    void choice()
    {
        QFETCH(bool, fontLoads);
        TestProgram copy(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        copy.start();
        copy.program->Script = UrduScript::Nastaliq;
        QTextEdit box;
        Transcript transcript(&box);
        UrduText composer;
        QAction mnuNaskh;
        QAction mnuNastaliq;
        for (QAction *entry : { &mnuNaskh, &mnuNastaliq })
            entry->setCheckable(true);
        UrduScriptChoice choice(&mnuNaskh, &mnuNastaliq, *copy.program, transcript, composer,
            nullptr, [fontLoads] { return fontLoads; });
        const UrduScript expected = fontLoads ? UrduScript::Nastaliq : UrduScript::Naskh;
        QCOMPARE(composer.script(), expected);
        QCOMPARE(copy.program->Script, expected);
        QCOMPARE(mnuNastaliq.isChecked(), fontLoads);
        QCOMPARE(copy.textsShown().size(), fontLoads ? 0 : 1);
        mnuNaskh.trigger();
        QVERIFY(mnuNaskh.isChecked() && !mnuNastaliq.isChecked());
        QCOMPARE(composer.script(), UrduScript::Naskh);
        QCOMPARE(copy.program->Script, UrduScript::Naskh);
    }
};

QTEST_MAIN(tst_UrduScriptChoice)
#include "tst_UrduScriptChoice.moc"
