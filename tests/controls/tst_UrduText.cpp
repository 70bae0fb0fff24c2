#include "controls/ColorNumber.h"
#include "controls/UrduText.h"
#include "controls/VirtualKey.h"
#include "resources/StringTable.h"
#include "support/ScriptedDesktop.h"
#include "urdu/UrduGlyphFont.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

UrduGlyphText glyphs(std::initializer_list<int> codes)
{
    UrduGlyphText text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

UrduGlyphText shownBy(const UrduText &control)
{
    return UrduGlyphFont::fromDisplay(control.txtMain()->text());
}

void press(QWidget *target, int key, const QString &text, Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &up);
}

// One step typed into the box: a Qt key with its text.
struct Stroke
{
    int key;
    QString text;
};

Stroke letter(char typed)
{
    // Qt numbers letter keys by their capitals.
    return { QChar::fromLatin1(typed).toUpper().unicode(), QString(QChar::fromLatin1(typed)) };
}

const Stroke BackspaceStroke { Qt::Key_Backspace, QStringLiteral("\b") };
const Stroke DeleteStroke { Qt::Key_Delete, QStringLiteral("\x7f") };
const Stroke Period { Qt::Key_Period, QStringLiteral(".") };
const Stroke Enter { Qt::Key_Return, QStringLiteral("\r") };
const Stroke Escape { Qt::Key_Escape, QStringLiteral("\x1b") };
const Stroke Tab { Qt::Key_Tab, QStringLiteral("\t") };
const Stroke Left { Qt::Key_Left, QString() };
const Stroke Right { Qt::Key_Right, QString() };
const Stroke Euro { Qt::Key_unknown, QStringLiteral("\u20ac") };
const Stroke Arabic { Qt::Key_unknown, QStringLiteral("\u0628") };

} // namespace

Q_DECLARE_METATYPE(Stroke)

class tst_UrduText : public QObject
{
    Q_OBJECT

private slots:
    void textAssignment_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::newRow("b a") << QByteArray("ba") << glyphs({ 66, 73 });
        QTest::newRow("empty") << QByteArray() << glyphs({});
        QTest::newRow("leading space reported, not shown") << QByteArray(" b") << glyphs({ 76 });
    }
    void textAssignment()
    {
        QFETCH(QByteArray, keys);
        QFETCH(UrduGlyphText, shown);
        UrduText control;
        control.setText("xyz");
        control.setText(keys);
        QCOMPARE(shownBy(control), shown);
        QCOMPARE(control.Text(), keys);
        QCOMPARE(control.property("Text").toByteArray(), keys);
    }

    // Real key events, as the desktop delivers them, after the box showed `before`.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<Stroke>>("strokes");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("caret");
        QTest::newRow("b a b") << QByteArray() << QList { letter('b'), letter('a'), letter('b') }
                               << glyphs({ 76, 66, 73 }) << QByteArray("bab") << 0;
        QTest::newRow("backspace") << QByteArray("bab") << QList { BackspaceStroke }
                                   << glyphs({ 66, 73 }) << QByteArray("ba") << 0;
        QTest::newRow("delete left of caret") << QByteArray("bab") << QList { Right, DeleteStroke }
                                              << glyphs({ 66, 73 }) << QByteArray("ba") << 0;
        QTest::newRow("insert at right end")
            << QByteArray("bab") << QList { Right, Right, Right, letter('t') }
            << glyphs({ 76, 66, 74, 77 }) << QByteArray("tbab") << 3;
        QTest::newRow("period key types the full stop")
            << QByteArray("b") << QList { Period } << glyphs({ 160, 73 }) << QByteArray("b\xbe")
            << 0;
        QTest::newRow("capital") << QByteArray()
                                 << QList { Stroke { Qt::Key_E, QStringLiteral("E") } }
                                 << glyphs({ 217 }) << QByteArray("E") << 0;
        QTest::newRow("enter escape tab swallowed")
            << QByteArray("ba") << QList { Enter, Escape, Tab } << glyphs({ 66, 73 })
            << QByteArray("ba") << 0;
        QTest::newRow("control chord is a character")
            << QByteArray("b") << QList { Stroke { Qt::Key_B, QStringLiteral("\x02") } }
            << glyphs({ 32, 73 }) << QByteArray("b ") << 0;
        QTest::newRow("code page character")
            << QByteArray() << QList { Euro } << glyphs({}) << QByteArray() << 0;
        QTest::newRow("character outside the code page swallowed")
            << QByteArray("b") << QList { Arabic } << glyphs({ 76 }) << QByteArray("b") << 0;
        QTest::newRow("arrows move the caret") << QByteArray("bab") << QList { Right, Right, Left }
                                               << glyphs({ 76, 66, 73 }) << QByteArray("bab") << 1;
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QList<Stroke>, strokes);
        QFETCH(UrduGlyphText, shown);
        QFETCH(QByteArray, text);
        QFETCH(int, caret);
        UrduText control;
        control.setText(before);
        QSignalSpy changes(&control, &UrduText::Change);
        for (const Stroke &stroke : strokes)
            press(control.txtMain(), stroke.key, stroke.text);
        QCOMPARE(shownBy(control), shown);
        QCOMPARE(control.Text(), text);
        QCOMPARE(control.EditText(), text);
        QCOMPARE(control.txtMain()->cursorPosition(), caret);
        QCOMPARE(changes.isEmpty(), shown == ShapeUrdu(before));
    }

    void selectionIsReplaced()
    {
        UrduText control;
        control.setText("bab");
        control.txtMain()->setSelection(0, 2);
        press(control.txtMain(), Qt::Key_A, QStringLiteral("a"));
        QCOMPARE(shownBy(control), glyphs({ 66, 73 }));
        control.setText("bab");
        control.txtMain()->setSelection(0, 2);
        press(control.txtMain(), DeleteStroke.key, DeleteStroke.text);
        QCOMPARE(shownBy(control), glyphs({ 76 }));
        QCOMPARE(control.Text(), QByteArray("b"));
    }

    void containerChangesKeys()
    {
        UrduText control;
        connect(&control, &UrduText::KeyPress, this, [](qint16 &keyAscii) {
            if (keyAscii == 'x')
                keyAscii = 'b';
            else if (keyAscii == 'q')
                keyAscii = 0;
        });
        connect(&control, &UrduText::KeyDown, this, [](qint16 &keyCode, qint16 &) {
            if (keyCode == VirtualKey::Escape)
                keyCode = VirtualKey::Delete;
        });
        control.setText("bab");
        press(control.txtMain(), Qt::Key_X, QStringLiteral("x"));
        QCOMPARE(control.Text(), QByteArray("babb"));
        press(control.txtMain(), Qt::Key_Q, QStringLiteral("q"));
        QCOMPARE(control.Text(), QByteArray("babb"));
        control.txtMain()->setCursorPosition(1);
        press(control.txtMain(), Escape.key, Escape.text);
        QCOMPARE(control.Text(), QByteArray("bab"));
    }

    void eventArguments()
    {
        UrduText control;
        QList<int> keyDowns;
        QList<int> keyUps;
        QList<int> presses;
        connect(&control, &UrduText::KeyDown, this,
            [&](qint16 &code, qint16 &shift) { keyDowns << code << shift; });
        connect(&control, &UrduText::KeyUp, this,
            [&](qint16 &code, qint16 &shift) { keyUps << code << shift; });
        connect(&control, &UrduText::KeyPress, this, [&](qint16 code) { presses << code; });
        press(control.txtMain(), Qt::Key_B, QStringLiteral("B"), Qt::ShiftModifier);
        press(control.txtMain(), Period.key, Period.text);
        press(control.txtMain(), DeleteStroke.key, DeleteStroke.text, Qt::ControlModifier);
        QCOMPARE(keyDowns, (QList<int> { 66, 1, 190, 0, 46, 2 }));
        QCOMPARE(keyUps, keyDowns);
        QCOMPARE(presses, (QList<int> { 66, 190, 46 }));
    }

    void lockedBoxSwallowsKeys()
    {
        UrduText control;
        control.setText("ba");
        control.setLocked(true);
        press(control.txtMain(), Qt::Key_B, QStringLiteral("b"));
        press(control.txtMain(), BackspaceStroke.key, BackspaceStroke.text);
        press(control.txtMain(), DeleteStroke.key, DeleteStroke.text);
        QCOMPARE(shownBy(control), glyphs({ 66, 73 }));
        QCOMPARE(control.Text(), QByteArray("ba"));
    }

    // A paste changes the live key text at once and the reported one at the next key.
    void pasteByShortcut()
    {
        UrduText control;
        control.setText("b");
        QApplication::clipboard()->setText(UrduGlyphFont::toDisplay(glyphs({ 66 })));
        control.txtMain()->setCursorPosition(0);
        QTest::keyClick(control.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shownBy(control), glyphs({ 66, 76 }));
        QCOMPARE(control.EditText(), QByteArray("ba"));
        QCOMPARE(control.Text(), QByteArray("b"));
        press(control.txtMain(), Enter.key, Enter.text);
        QCOMPARE(control.Text(), QByteArray("b"));
        control.txtMain()->setCursorPosition(0);
        press(control.txtMain(), Qt::Key_B, QStringLiteral("b"));
        QCOMPARE(control.Text(), QByteArray("bab"));
        QCOMPARE(shownBy(control), glyphs({ 76, 66, 73 }));
    }

    void rightClickGoesToContainer()
    {
        UrduText control;
        QList<int> downs;
        connect(&control, &UrduText::MouseDown, this,
            [&](qint16 button, qint16 shift, float, float) { downs << button << shift; });
        QSignalSpy clicks(&control, &UrduText::Click);
        control.resize(200, control.height());
        QTest::mouseClick(control.txtMain(), Qt::RightButton, Qt::ShiftModifier);
        QTest::mouseClick(control.txtMain(), Qt::LeftButton);
        QCOMPARE(downs, (QList<int> { 2, 1, 1, 0 }));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(control.txtMain()->contextMenuPolicy(), Qt::PreventContextMenu);
    }

    void fontCheck_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("glyph font") << QStringLiteral("Qirtas1") << true;
        QTest::newRow("family prefix") << QStringLiteral("Qirtas") << true;
        QTest::newRow("other font") << QStringLiteral("Arial") << false;
        QTest::newRow("prefix elsewhere") << QStringLiteral("My Qirtas") << false;
        QTest::newRow("other case") << QStringLiteral("qirtas1") << false;
    }
    void fontCheck()
    {
        QFETCH(QString, family);
        QFETCH(bool, accepted);
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        QCOMPARE(control.font().family(), QStringLiteral("Qirtas1"));
        QCOMPARE(control.font().pointSizeF(), 9.75);
        QFont font(family);
        font.setPointSize(12);
        control.setFont(font);
        QCOMPARE(control.font().pointSizeF(), accepted ? 12.0 : 9.75);
        QCOMPARE(desktop.shown.size(), accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(desktop.shown.front().text, StringTable::text(StringTable::SelectQirtasFont));
            QCOMPARE(desktop.shown.front().icon, Desktop::Icon::Information);
            QCOMPARE(desktop.shown.front().buttons, Desktop::Buttons::Ok);
        }
    }

    void boxFillsControl()
    {
        UrduText control;
        control.show();
        control.resize(300, 200);
        QCOMPARE(control.height(), control.txtMain()->sizeHint().height());
        QCOMPARE(control.txtMain()->geometry(), control.rect());
        const int smallHeight = control.height();
        control.setFont(UrduGlyphFont::font(30));
        QVERIFY(control.height() > smallHeight);
        QCOMPARE(control.txtMain()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }

    void storedSelection()
    {
        UrduText control;
        control.setText("bab");
        control.setSelStart(2);
        control.txtMain()->setCursorPosition(0);
        QCOMPARE(control.SelStart(), 2);
        control.setSelLength(1);
        control.setSelText(QStringLiteral("x"));
        QCOMPARE(control.SelLength(), 1);
        QCOMPARE(control.SelText(), QStringLiteral("x"));
        QCOMPARE(control.Text(), QByteArray("bab"));
    }

    void defaultsAreNotSaved()
    {
        QWidget container;
        container.setFont(UrduGlyphFont::font(UrduText::DefaultPointSize));
        UrduText control(&container);
        QCOMPARE(control.save(), QVariantMap());
        QCOMPARE(UrduText::savedKeys(),
            QStringList({ u"BackColor"_s, u"ForeColor"_s, u"Enabled"_s, u"Font"_s, u"BorderStyle"_s,
                u"Alignment"_s, u"Locked"_s, u"MouseIcon"_s, u"MousePointer"_s, u"PasswordChar"_s,
                u"Text"_s, u"OrgText"_s, u"Appearance"_s, u"SelLength"_s, u"SelStart"_s,
                u"SelText"_s }));
    }

    void saveAndLoad()
    {
        UrduText original;
        original.setBackColor(0x00FF0000);
        original.setForeColor(0x000000FF);
        original.setEnabled(false);
        original.setFont(UrduGlyphFont::font(12));
        original.setBorderStyle(0);
        original.setAlignment(2);
        original.setLocked(true);
        original.setMousePointer(2);
        original.setPasswordChar(QStringLiteral("*"));
        original.setText(" ba");
        original.setAppearance(0);
        original.setSelStart(1);
        original.setSelLength(1);
        original.setSelText(QStringLiteral("s"));
        const QVariantMap saved = original.save();
        QCOMPARE(saved.value(QStringLiteral("Text")).toByteArray(), glyphs({ 66, 73 }));
        QCOMPARE(saved.value(QStringLiteral("OrgText")).toByteArray(), QByteArray(" ba"));

        UrduText restored;
        restored.load(saved);
        QCOMPARE(restored.save(), saved);
        QCOMPARE(restored.Text(), QByteArray(" ba"));
        QCOMPARE(restored.EditText(), QByteArray(" ba"));
        QCOMPARE(shownBy(restored), glyphs({ 66, 73 }));
        QVERIFY(!restored.isEnabled());
        QVERIFY(restored.txtMain()->isReadOnly());
        QCOMPARE(restored.txtMain()->echoMode(), QLineEdit::Password);
        QCOMPARE(restored.font().pointSizeF(), 12.0);
        QCOMPARE(restored.txtMain()->selectionStart(), 1);
        QCOMPARE(restored.txtMain()->selectionLength(), 1);
    }

    void missingKeysTakeDefaults()
    {
        UrduText control;
        control.setText("ba");
        control.setForeColor(0x00123456);
        control.setLocked(true);
        control.setSelStart(3);
        control.load({ { QStringLiteral("BackColor"), 0x0000FF00 } });
        QCOMPARE(control.BackColor(), 0x0000FF00);
        QCOMPARE(control.ForeColor(), ColorNumber::WindowText);
        QVERIFY(!control.Locked());
        QCOMPARE(control.SelStart(), 0);
        QCOMPARE(control.Text(), QByteArray());
        QCOMPARE(control.txtMain()->text(), QString());
        QCOMPARE(control.Alignment(), 1);
        QCOMPARE(control.font(), QApplication::font());
    }

    void badSavedValuesAreHarmless()
    {
        UrduText control;
        control.load({ { QStringLiteral("Text"), QByteArray(100000, 'L') },
            { QStringLiteral("SelStart"), -5 }, { QStringLiteral("SelLength"), 1 << 30 },
            { QStringLiteral("Alignment"), 7 },
            { QStringLiteral("Font"), QStringLiteral("not a font") } });
        QCOMPARE(control.txtMain()->text().size(), UrduKeyEditor::MaxLength);
        QCOMPARE(control.Alignment(), 1);
        QCOMPARE(control.txtMain()->selectionLength(), UrduKeyEditor::MaxLength);
    }

    void colors_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red") << qint32(0x000000FF) << QColor(255, 0, 0);
        QTest::newRow("blue") << qint32(0x00FF0000) << QColor(0, 0, 255);
        QTest::newRow("mixed") << qint32(0x00336699) << QColor(0x99, 0x66, 0x33);
        QTest::newRow("window background")
            << ColorNumber::WindowBackground << QApplication::palette().color(QPalette::Base);
        QTest::newRow("window text")
            << ColorNumber::WindowText << QApplication::palette().color(QPalette::Text);
    }
    void colors()
    {
        QFETCH(qint32, number);
        QFETCH(QColor, color);
        QCOMPARE(ColorNumber::toColor(number), color);
        UrduText control;
        control.setForeColor(number);
        QCOMPARE(control.ForeColor(), number);
        QCOMPARE(control.txtMain()->palette().color(QPalette::Text), color);
        if (!ColorNumber::isSystemColor(number))
            QCOMPARE(ColorNumber::fromColor(color), number);
    }
};

QTEST_MAIN(tst_UrduText)
#include "tst_UrduText.moc"
