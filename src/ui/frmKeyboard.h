#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;
class UrduText;

// The on-screen Urdu keyboard: one button per key of the phonetic layout, each showing
// the letter's glyph. A click types that key into the composer through the same key
// events a real keyboard delivers, so the composer shapes it and raises its events alike.
// The window stays above the others at the screen's top-left corner; closing it hides it.
// Glyph captions are drawn centred on their ink, since the glyph font's line box is much
// taller than most letters and ے or ں would otherwise sit at the button's bottom.
class frmKeyboard final : public QWidget
{
    Q_OBJECT

public:
    explicit frmKeyboard(UrduText *composer, QWidget *parent = nullptr);

    // The button of an index 0 to 75, or null for the three gaps (13, 68, 69).
    QPushButton *cmdKey(int index) const;

    // Types the button's key into the composer, unless the composer is disabled.
    void cmdKey_Click(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createButtons();
    void typeKey(int keyCode);

    QPointer<UrduText> m_composer;
    QList<QPushButton *> m_cmdKey;
    QList<QPushButton *> m_glyphButtons;
};
