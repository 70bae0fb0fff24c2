#pragma once

#include <QAccessibleWidget>

#include <optional>

class UrduLineEdit;
class UrduText;

// What assistive technology reads of an Urdu text box: the Unicode Urdu it shows, in reading
// order, with the caret and the selection as offsets in that text, instead of the characters
// the box holds for its font. Stands for the inner box of an UrduText, where the keyboard is.
class UrduTextAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit UrduTextAccessible(UrduLineEdit *box);

    // Registers the interface for every Urdu text box, and has the boxes' changes told as the
    // Unicode Urdu that changed (see readableChange); safe to call more than once.
    static void install();

    // A change to an Urdu text box's text, as offsets in its Unicode Urdu.
    struct Change
    {
        int position;
        QString removed;
        QString inserted;
    };
    // What a text change an Urdu box tells, as its own text, changed in the Urdu it reads as;
    // nothing for other events and boxes, and for a password box.
    static std::optional<Change> readableChange(const QAccessibleEvent &event);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    UrduLineEdit *box() const;
    UrduText *control() const;
    QString shownText() const;
};
