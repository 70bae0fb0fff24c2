#include "support/RtfReader.h"

#include <QStringDecoder>

#include <cctype>
#include <optional>

namespace {

enum class Destination { Body, FontTable, ColorTable, Skipped };

struct GroupState
{
    Destination destination = Destination::Body;
    int font = 0;
    int halfPoints = 24;
    int color = 0;
    bool bold = false;
    bool italic = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1;
};

class Parser
{
public:
    explicit Parser(const QByteArray &rtf)
        : m_rtf(rtf)
    {
    }

    RtfReader::Document parse()
    {
        m_document.valid = m_rtf.startsWith("{\\rtf1");
        int depth = 0;
        while (m_at < m_rtf.size() && m_document.valid) {
            const char c = m_rtf[m_at++];
            if (c == '{') {
                m_stack.append(m_state);
                ++depth;
            } else if (c == '}') {
                if (!m_stack.isEmpty())
                    m_state = m_stack.takeLast();
                // Nothing but line breaks may follow the outermost group.
                m_document.valid = --depth > 0 || m_rtf.mid(m_at).trimmed().isEmpty();
            } else if (c == '\\') {
                control();
            } else if (c != '\r' && c != '\n') {
                take(c, QChar::fromLatin1(c));
            }
        }
        m_document.valid = m_document.valid && depth == 0;
        return m_document;
    }

private:
    void control()
    {
        const char c = m_at < m_rtf.size() ? m_rtf[m_at++] : '\0';
        if (c == '\\' || c == '{' || c == '}') {
            take(c, QChar::fromLatin1(c));
        } else if (c == '\'') {
            const char byte = char(m_rtf.mid(m_at, 2).toInt(nullptr, 16));
            m_at += 2;
            take(byte, QString(m_decoder.decode(QByteArray(1, byte))).front());
        } else if (c == '*') {
            m_state.destination = Destination::Skipped;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            --m_at;
            controlWord();
        }
    }

    void controlWord()
    {
        const qsizetype start = m_at;
        while (m_at < m_rtf.size() && std::isalpha(static_cast<unsigned char>(m_rtf[m_at])))
            ++m_at;
        const QByteArray word = m_rtf.mid(start, m_at - start);
        const qsizetype numberStart = m_at;
        if (m_at < m_rtf.size() && m_rtf[m_at] == '-')
            ++m_at;
        while (m_at < m_rtf.size() && std::isdigit(static_cast<unsigned char>(m_rtf[m_at])))
            ++m_at;
        const QByteArray digits = m_rtf.mid(numberStart, m_at - numberStart);
        if (m_at < m_rtf.size() && m_rtf[m_at] == ' ')
            ++m_at;
        apply(word, digits.isEmpty() ? std::optional<int>() : digits.toInt());
    }

    void apply(const QByteArray &word, std::optional<int> value)
    {
        if (word == "fonttbl")
            m_state.destination = Destination::FontTable;
        else if (word == "colortbl")
            m_state.destination = Destination::ColorTable;
        else if (word == "f" && m_state.destination == Destination::FontTable)
            m_fontId = value.value_or(0);
        else if (word == "fcharset" && m_fontId >= 0)
            m_document.fonts[m_fontId].charset = value.value_or(0);
        else if (word == "red" || word == "green" || word == "blue")
            setColorPart(word, value.value_or(0));
        else if (word == "f")
            m_state.font = value.value_or(0);
        else if (word == "fs")
            m_state.halfPoints = value.value_or(24);
        else if (word == "cf")
            m_state.color = value.value_or(0);
        else if (word == "b")
            m_state.bold = value.value_or(1) != 0;
        else if (word == "i")
            m_state.italic = value.value_or(1) != 0;
        else if (word == "pard" || word == "ql")
            m_state.alignment = Qt::AlignLeft;
        else if (word == "qr")
            m_state.alignment = Qt::AlignRight;
        else if (word == "par")
            endParagraph();
        else if (word == "tab")
            take('\t', u'\t');
        else if (word == "uc")
            m_state.unicodeSkip = value.value_or(1);
        else if (word == "u")
            unicode(value.value_or(0));
    }

    void setColorPart(const QByteArray &word, int value)
    {
        if (word == "red")
            m_color.setRed(value);
        else if (word == "green")
            m_color.setGreen(value);
        else
            m_color.setBlue(value);
        m_colorHasParts = true;
    }

    void unicode(int value)
    {
        // The escape holds a signed 16-bit number; readers refuse anything else.
        if (value < -32768 || value > 32767)
            m_document.valid = false;
        take('?', QChar(char16_t(value & 0xFFFF)));
        // The fallback characters that follow stand in for the escape for old readers.
        for (int skipped = 0; skipped < m_state.unicodeSkip && m_at < m_rtf.size(); ++skipped)
            m_at += m_rtf[m_at] == '\\' && m_rtf.mid(m_at + 1, 1) == "'" ? 4 : 1;
    }

    void take(char byte, QChar character)
    {
        switch (m_state.destination) {
        case Destination::FontTable:
            if (byte != ';') {
                m_fontName += character;
            } else if (m_fontId >= 0) {
                m_document.fonts[m_fontId].name = m_fontName.trimmed();
                m_fontId = -1;
                m_fontName.clear();
            }
            break;
        case Destination::ColorTable:
            if (byte == ';') {
                m_document.colors.append(m_colorHasParts ? m_color : QColor());
                m_color = QColor(0, 0, 0);
                m_colorHasParts = false;
            }
            break;
        case Destination::Body:
            append(QByteArray(1, byte), QString(character));
            break;
        case Destination::Skipped:
            break;
        }
    }

    void endParagraph() { append("\r\n", QStringLiteral("\r\n")); }

    void append(const QByteArray &bytes, const QString &text)
    {
        RtfReader::Run look;
        const RtfReader::Font font = m_document.fonts.value(m_state.font);
        look.fontName = font.name;
        look.symbol = font.charset == 2;
        look.halfPoints = m_state.halfPoints;
        look.color = m_document.colors.value(m_state.color);
        look.bold = m_state.bold;
        look.italic = m_state.italic;
        look.alignment = m_state.alignment;
        if (m_document.runs.isEmpty() || !m_document.runs.last().sameLookAs(look))
            m_document.runs.append(look);
        RtfReader::Run &run = m_document.runs.last();
        if (run.symbol)
            run.glyphs += bytes;
        else
            run.text += text;
    }

    const QByteArray m_rtf;
    qsizetype m_at = 0;
    GroupState m_state;
    QList<GroupState> m_stack;
    QStringDecoder m_decoder { "windows-1252" };
    RtfReader::Document m_document;
    int m_fontId = -1;
    QString m_fontName;
    QColor m_color { 0, 0, 0 };
    bool m_colorHasParts = false;
};

} // namespace

bool RtfReader::Run::sameLookAs(const Run &other) const
{
    return fontName == other.fontName && symbol == other.symbol && halfPoints == other.halfPoints
        && color == other.color && bold == other.bold && italic == other.italic
        && alignment == other.alignment;
}

RtfReader::Document RtfReader::read(const QByteArray &rtf)
{
    return Parser(rtf).parse();
}
