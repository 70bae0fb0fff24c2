#pragma once

#include "urdu/NastaliqLineLayout.h"

#include <QLineEdit>
#include <QTimer>

#include <optional>

// The line edit inside an Urdu text box. Given a Nastaliq font it lays out and draws its text
// itself, a word at a time (see NastaliqLineLayout), and places the caret under the mouse by
// that drawing: the line edit's own layout, which shapes the whole line on every key and again
// on every paint, is then left to a plain font that costs little, and serves only the editing.
// Without one, or while it masks a password, it is a plain QLineEdit.
class UrduLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit UrduLineEdit(QWidget *parent = nullptr);

    // The font the text is drawn in, or none for the line edit's own drawing.
    const std::optional<QFont> &drawnFont() const { return m_drawnFont; }
    void setDrawnFont(const std::optional<QFont> &font);

    // How many words of the drawn text are kept shaped.
    qsizetype shapedWords() const { return m_layout.keptWords(); }

    // The position of the caret nearest to a point in the box.
    int positionAt(QPoint point);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool drawsItself() const;
    QSize withDrawnLine(QSize size) const;
    QRect textArea() const;
    qreal textLeft() const;
    void scrollToCaret();
    void showCaret();
    int positionAt(qreal x) const;

    std::optional<QFont> m_drawnFont;
    NastaliqLineLayout m_layout;
    QTimer m_caretBlink;
    bool m_caretShown = false;
    qreal m_scroll = 0;
    int m_anchor = 0;
};
