#pragma once

#include "ui/TranscriptReading.h"

#include <QAccessibleWidget>

#include <optional>

class QTextEdit;

// What assistive technology reads of the transcript: its text with Urdu as Unicode Urdu in
// reading order (see TranscriptReading), the caret and the selection as offsets in that text.
class TranscriptAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TranscriptAccessible(QTextEdit *view);

    // Registers the interface for the transcript's view; safe to call more than once.
    static void install();

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
    QTextEdit *view() const;
    // The reading of the document as it is now; made again only after it changed.
    const TranscriptReading &reading() const;

    mutable std::optional<TranscriptReading> m_reading;
    mutable int m_readingRevision = -1;
};
