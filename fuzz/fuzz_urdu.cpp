// The Urdu engine: shaping and unshaping any codes, key editing with any key sequence, and
// the text that comes in from a partner's glyph bytes or the clipboard.
#include "FuzzCheck.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduKeyEditor.h"
#include "urdu/UrduNumberRuns.h"
#include "urdu/UrduUnicode.h"
#include "urdu/basUrdu.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr qint16 SpaceGlyph = 32;

QByteArray bytesOf(FuzzedDataProvider &input)
{
    return QByteArray::fromStdString(input.ConsumeRandomLengthString(4096));
}

// One glyph per key: only the leading keys that draw a space are trimmed.
void checkShaping(const UrduKeyText &keys)
{
    const UrduGlyphText glyphs = ShapeUrdu(keys);
    const qsizetype trimmed = keys.size() - glyphs.size();
    FUZZ_CHECK(trimmed >= 0);
    for (qsizetype i = 0; i < trimmed; ++i)
        FUZZ_CHECK(GlyphForForm(quint8(keys[i]), IsolatedForm) == SpaceGlyph);
    FUZZ_CHECK(
        trimmed == keys.size() || GlyphForForm(quint8(keys[trimmed]), IsolatedForm) != SpaceGlyph);
    FUZZ_CHECK(UnshapeUrdu(glyphs).size() == glyphs.size());
}

void checkKeyEdits(const UrduKeyText &keys, FuzzedDataProvider &input)
{
    const auto caret = input.ConsumeIntegral<qint16>();
    const auto key = input.ConsumeIntegral<qint16>();
    const UrduKeyText inserted = InsertKey(keys, caret, key);
    FUZZ_CHECK(inserted.size() == keys.size() + 1);
    const UrduKeyText deleted = DeleteKey(keys, caret, key);
    FUZZ_CHECK(deleted.size() == keys.size() || deleted.size() == keys.size() - 1);
}

void checkEditorState(const UrduKeyEditor &editor)
{
    const int shown = int(editor.shown().size());
    FUZZ_CHECK(shown <= UrduKeyEditor::MaxLength);
    FUZZ_CHECK(editor.caret() >= 0 && editor.caret() <= shown);
    FUZZ_CHECK(editor.selectionStart() >= 0 && editor.selectionLength() >= 0);
    FUZZ_CHECK(editor.selectionStart() + editor.selectionLength() <= shown);
}

// A key sequence with the box's other events between keys; after a refill the live key text
// is what the shown glyphs read back as.
void runEditor(FuzzedDataProvider &input)
{
    UrduKeyEditor editor;
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
            editor.setCaret(input.ConsumeIntegral<int>());
            break;
        case 1: {
            const int start = input.ConsumeIntegral<int>();
            editor.setSelection(start, input.ConsumeIntegral<int>());
            break;
        }
        case 2:
            editor.setLocked(input.ConsumeBool());
            break;
        case 3:
            editor.setText(bytesOf(input));
            break;
        case 4:
            editor.showChanged(bytesOf(input));
            break;
        case 5: {
            const QByteArray shown = bytesOf(input);
            editor.restore(shown, bytesOf(input));
            break;
        }
        default:
            if (editor.typeCharacter(input.ConsumeIntegral<qint16>()))
                FUZZ_CHECK(editor.editText() == UnshapeUrdu(editor.shown()));
            break;
        }
        checkEditorState(editor);
    }
}

// Glyph bytes from a partner go to the screen and back unchanged; the positions of a widget
// map to glyph positions and back.
void checkDisplay(const UrduGlyphText &glyphs, FuzzedDataProvider &input)
{
    const QString shown = UrduGlyphFont::toDisplay(glyphs);
    FUZZ_CHECK(shown.size() == glyphs.size());
    FUZZ_CHECK(UrduGlyphFont::fromDisplay(shown) == glyphs);
    const int position = input.ConsumeIntegralInRange<int>(0, int(glyphs.size()));
    FUZZ_CHECK(UrduNumberRuns::caret(glyphs, UrduNumberRuns::caret(glyphs, position)) == position);
    FUZZ_CHECK(UrduNumberRuns::turned(UrduNumberRuns::turned(glyphs)) == glyphs);
}

// Pasted text types at most one key per character, and no key that draws nothing.
void checkPaste(const QByteArray &bytes)
{
    const QString text(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    const UrduUnicode::Typed typed = UrduUnicode::toKeys(text);
    FUZZ_CHECK(typed.dropped >= 0);
    FUZZ_CHECK(typed.keys.size() + typed.dropped <= text.size());
    FUZZ_CHECK(!typed.keys.contains('\0'));

    const auto copied = UrduUnicode::mimeData(bytes);
    const UrduUnicode::Typed exact = UrduUnicode::keysFrom(*copied);
    FUZZ_CHECK(exact.keys.size() + exact.dropped == bytes.size());
    const UrduUnicode::Typed fromText = UrduUnicode::toKeys(UrduUnicode::fromGlyphs(bytes));
    FUZZ_CHECK(!fromText.keys.contains('\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        const QByteArray keys = bytesOf(input);
        checkShaping(keys);
        checkKeyEdits(keys, input);
        break;
    }
    case 1:
        runEditor(input);
        break;
    case 2: {
        const QByteArray glyphs = bytesOf(input);
        checkDisplay(glyphs, input);
        break;
    }
    default:
        checkPaste(QByteArray::fromStdString(input.ConsumeRemainingBytesAsString()));
        break;
    }
    return 0;
}
