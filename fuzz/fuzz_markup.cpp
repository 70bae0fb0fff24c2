// The chat message markup: any bytes a partner sends are decoded safely, and what the
// encoder makes of a style and a text decodes back to them wherever the wire can carry them.
#include "FuzzCheck.h"
#include "chat/MessageMarkup.h"
#include "net/WireText.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// What a previous message left in the values a decode writes into.
DecodedMessage earlierMessage()
{
    DecodedMessage message;
    MessageMarkup::DecodeMessage(
        "\\BLD\\F:Tahoma\\C: 255\\S: 12\\L:1\\{T:earlier words\\}", message);
    return message;
}

void decodeAnything(const QByteArray &markup)
{
    DecodedMessage message = earlierMessage();
    const bool read = MessageMarkup::DecodeMessage(markup, message);
    // The text is this message's own: a piece of it, or all of it when no text field is there.
    FUZZ_CHECK(message.MsgText.size() <= markup.size());
    FUZZ_CHECK(markup.contains(message.MsgText));
    FUZZ_CHECK(message.MsgFontName.size() <= markup.size() || message.MsgFontName == u"Tahoma"
        || message.MsgFontName == u"Arial");
    FUZZ_CHECK(!read || markup.size() <= MessageMarkup::MaxMarkupBytes);
}

// Sizes travel with their fraction and are read back rounded half to even.
qint16 roundedSize(qint16 whole, int quarters)
{
    if (quarters == 2)
        return whole % 2 == 0 ? whole : qint16(whole + 1);
    return quarters < 2 ? whole : qint16(whole + 1);
}

void roundTrip(FuzzedDataProvider &input)
{
    MessageStyle style;
    style.bold = input.ConsumeBool();
    style.italic = input.ConsumeBool();
    style.color = input.ConsumeIntegral<qint32>();
    // The largest whole size with a fraction still rounds into 16 bits.
    const auto whole = input.ConsumeIntegralInRange<qint16>(-32768, 32766);
    const int quarters = input.ConsumeIntegralInRange(0, 3);
    style.pointSize = whole + quarters / 4.0;
    const bool isUrdu = input.ConsumeBool();
    const std::string font = input.ConsumeRandomLengthString(64);
    style.fontName = WireText::fromWire(QByteArray::fromStdString(font));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray text = QByteArray::fromStdString(rest);

    // Nothing is escaped: a font name with "\", or a text with the closing "\}" or the bold
    // and italic marks, cannot cross the wire as it is.
    if (style.fontName.contains(u'\\') || text.contains("\\}") || text.contains("\\BLD")
        || text.contains("\\ITL"))
        return;
    const QByteArray markup = MessageMarkup::EncodeMessage(style, text, isUrdu);
    if (markup.size() > MessageMarkup::MaxMarkupBytes)
        return;
    DecodedMessage message = earlierMessage();
    FUZZ_CHECK(MessageMarkup::DecodeMessage(markup, message));
    FUZZ_CHECK(message.MsgText == text);
    FUZZ_CHECK(message.MsgFontName == WireText::fromWire(WireText::toWire(style.fontName)));
    FUZZ_CHECK(message.MsgFontSize == roundedSize(whole, quarters));
    FUZZ_CHECK(message.MsgBold == style.bold);
    FUZZ_CHECK(message.MsgItalic == style.italic);
    FUZZ_CHECK(message.MsgColor == style.color);
    FUZZ_CHECK(message.MsgUrdu == isUrdu);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeAnything(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    FuzzedDataProvider input(data, size);
    roundTrip(input);
    return 0;
}
