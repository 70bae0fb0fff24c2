#pragma once

#include <QTextEdit>

// The transcript's rich-text box. What is copied from it reads right in other programs:
// Urdu runs, held as the glyph font's characters in visual order, go to the clipboard as
// Unicode Urdu in reading order, with their glyph bytes under Kalvex's own type so that a
// paste into the Urdu composer is exact.
class TranscriptView final : public QTextEdit
{
    Q_OBJECT

public:
    explicit TranscriptView(QWidget *parent = nullptr);

protected:
    QMimeData *createMimeDataFromSelection() const override;
};
