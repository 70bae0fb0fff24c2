#include "controls/ColorNumber.h"
#include "controls/UrduText.h"
#include "resources/StringTable.h"
#include "support/ScriptedDesktop.h"
#include "support/UrduTestText.h"
#include "urdu/UrduGlyphFont.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace UrduTestText;

namespace {

// A key as the desktop delivers it, down and up, to the inner box.
void press(const UrduText &control, int key, const QString &text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(control.txtMain(), &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(control.txtMain(), &up);
}

} // namespace

class tst_UrduText : public QObject
{
    Q_OBJECT

private slots:
    // Text reports the key text as assigned, while the box shows its shape.
    void textAssignment()
    {
        UrduText control;
        control.setText("ba");
        QCOMPARE(shownBy(control), glyphs({ 66, 73 }));
        control.setText(" bF");
        QCOMPARE(control.Text(), QByteArray(" bF"));
        QCOMPARE(control.EditText(), QByteArray("b "));
        QCOMPARE(shownBy(control), glyphs({ 32, 73 }));
    }

    // The desktop's keys as the editing sees them; the glyphs after each step.
    void desktopKeys()
    {
        UrduText control;
        control.setText("bab");
        for (const int key : { Qt::Key_Right, Qt::Key_Right, Qt::Key_Left })
            press(control, key, QString());
        press(control, Qt::Key_Return, u"\r"_s);
        press(control, Qt::Key_Escape, u"\x1b"_s);
        press(control, Qt::Key_Tab, u"\t"_s);
        press(control, Qt::Key_unknown, u"\u0628"_s); // outside the code page
        QCOMPARE(shownBy(control), glyphs({ 76, 66, 73 }));
        press(control, Qt::Key_Delete, u"\x7f"_s);
        QCOMPARE(shownBy(control), glyphs({ 66, 73 }));
        press(control, Qt::Key_Period, u"."_s);
        QCOMPARE(shownBy(control), glyphs({ 160, 66, 73 }));
        press(control, Qt::Key_B, u"\x02"_s); // a control chord types its code
        QCOMPARE(shownBy(control), glyphs({ 32, 160, 66, 73 }));
        control.txtMain()->setSelection(0, 3);
        press(control, Qt::Key_Delete, u"\x7f"_s);
        QCOMPARE(shownBy(control), glyphs({ 76 }));
        QCOMPARE(control.Text(), QByteArray("b"));
    }

    // The container sees the key first and may change it.
    void containerChangesKeys()
    {
        UrduText control;
        connect(&control, &UrduText::KeyPress, this, [](qint16 &keyAscii) {
            if (keyAscii == 'x')
                keyAscii = 'b';
            else if (keyAscii == 'q')
                keyAscii = 0;
        });
        control.setText("bab");
        press(control, Qt::Key_X, u"x"_s);
        press(control, Qt::Key_Q, u"q"_s);
        QCOMPARE(control.Text(), QByteArray("babb"));
    }

    // A paste changes the live key text at once and the reported one at the next key.
    void pasteRebuildsEditText()
    {
        UrduText control;
        control.setText("b");
        QApplication::clipboard()->setText(UrduGlyphFont::toDisplay(glyphs({ 66 })));
        QTest::keyClick(control.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shownBy(control), glyphs({ 66, 76 }));
        QCOMPARE(control.EditText(), QByteArray("ba"));
        QCOMPARE(control.Text(), QByteArray("b"));
        press(control, Qt::Key_B, u"b"_s);
        QCOMPARE(control.Text(), QByteArray("bba"));
    }

    void rightClickOnlyRaisesMouseDown()
    {
        UrduText control;
        QList<int> downs;
        connect(&control, &UrduText::MouseDown, this,
            [&](qint16 button, qint16 shift, float, float) { downs << button << shift; });
        QSignalSpy clicks(&control, &UrduText::Click);
        control.resize(200, control.height());
        QTest::mouseClick(control.txtMain(), Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(downs, (QList<int> { 2, 1 }));
        QCOMPARE(clicks.size(), 0);
        QCOMPARE(control.txtMain()->contextMenuPolicy(), Qt::PreventContextMenu);
        QTest::mouseClick(control.txtMain(), Qt::LeftButton);
        QCOMPARE(clicks.size(), 1);
    }

    void fontCheck()
    {
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        QCOMPARE(control.font().family(), u"Qirtas1"_s);
        control.setFont(QFont(u"Arial"_s, 12));
        control.setFont(QFont(u"My Qirtas"_s, 12));
        QCOMPARE(control.font().pointSizeF(), 9.75);
        QCOMPARE(desktop.shown.size(), 2);
        QCOMPARE(desktop.shown.front().text, StringTable::text(StringTable::SelectQirtasFont));
        QCOMPARE(desktop.shown.front().icon, Desktop::Icon::Information);
        QCOMPARE(desktop.shown.front().buttons, Desktop::Buttons::Ok);
        control.setFont(UrduGlyphFont::font(12));
        QCOMPARE(control.font().pointSizeF(), 12.0);
        QCOMPARE(desktop.shown.size(), 2);
    }

    // The box fills the control from its top-left corner; the control keeps the box's
    // single-line height, and takes a larger font's height at once.
    void resizingFollowsTheBox()
    {
        UrduText control;
        control.show();
        control.setGeometry(10, 20, 200, 90);
        QCOMPARE(control.txtMain()->geometry(), QRect(0, 0, 200, control.height()));
        QCOMPARE(control.height(), control.txtMain()->sizeHint().height());
        const int smallHeight = control.height();
        control.setFont(UrduGlyphFont::font(20));
        QVERIFY(control.height() > smallHeight);
        QCOMPARE(control.txtMain()->geometry(), QRect(0, 0, 200, control.height()));
    }

    void storedSelectionIsNotTheCaret()
    {
        UrduText control;
        control.setText("bab");
        control.setSelStart(2);
        control.txtMain()->setCursorPosition(1);
        QCOMPARE(control.SelStart(), 2);
    }

    // Loading saved values and saving again gives them back, and the box takes them.
    void saveAndLoad()
    {
        const QVariantMap saved { { u"BackColor"_s, 0x00FF0000 }, { u"ForeColor"_s, 0x00336699 },
            { u"Enabled"_s, false }, { u"Font"_s, UrduGlyphFont::font(12) },
            { u"BorderStyle"_s, 0 }, { u"Alignment"_s, 2 }, { u"Locked"_s, true },
            { u"MousePointer"_s, 2 }, { u"PasswordChar"_s, u"*"_s },
            { u"Text"_s, glyphs({ 66, 73 }) }, { u"OrgText"_s, QByteArray(" ba") },
            { u"Appearance"_s, 0 }, { u"SelLength"_s, 1 }, { u"SelStart"_s, 1 },
            { u"SelText"_s, u"s"_s } };
        UrduText control;
        control.load(saved);
        QCOMPARE(control.save(), saved);
        QCOMPARE(control.Text(), QByteArray(" ba"));
        QCOMPARE(control.EditText(), QByteArray(" ba"));
        QCOMPARE(shownBy(control), glyphs({ 66, 73 }));
        QCOMPARE(control.txtMain()->palette().color(QPalette::Active, QPalette::Text),
            QColor(0x99, 0x66, 0x33)); // red in the low byte
        QCOMPARE(control.txtMain()->selectionLength(), 1);
    }

    // Missing keys take their defaults; values from a damaged store are bounded.
    void loadDefaultsAndBadValues()
    {
        UrduText control;
        control.setText("ba");
        control.setLocked(true);
        control.load({ { u"BackColor"_s, 0x0000FF00 }, { u"Alignment"_s, 7 },
            { u"SelLength"_s, 1 << 30 }, { u"Text"_s, QByteArray(100000, 'L') } });
        QCOMPARE(control.BackColor(), 0x0000FF00);
        QCOMPARE(control.ForeColor(), ColorNumber::WindowText);
        QCOMPARE(control.txtMain()->palette().color(QPalette::Text),
            QApplication::palette().color(QPalette::Text));
        QVERIFY(!control.Locked());
        QCOMPARE(control.Alignment(), 1);
        QCOMPARE(control.Text(), QByteArray());
        QCOMPARE(control.txtMain()->text().size(), UrduKeyEditor::MaxLength);
        QCOMPARE(control.txtMain()->selectionLength(), UrduKeyEditor::MaxLength);
    }
};

QTEST_MAIN(tst_UrduText)
#include "tst_UrduText.moc"
