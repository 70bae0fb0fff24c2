#include "ui/Transcript.h"

#include "chat/ColorNumber.h"
#include "net/WireText.h"
#include "resources/StringTable.h"
#include "ui/RtfWriter.h"
#include "urdu/UrduGlyphFont.h"

#include <QPrinter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <array>
#include <utility>

namespace {

const QString LineBreak = QStringLiteral("\r\n");
// The banner and the information blocks are written in this font and size.
const QString LabelFont = QStringLiteral("Tahoma");
constexpr int LabelSize = 10;

// The largest size a saved file can carry (half points in a signed 16-bit number).
constexpr int LargestPointSize = 1638;

// Sizes a partner asks for are drawn within these bounds, so that a hostile size cannot
// make the transcript unusable; an honest partner's font dialog stays below 24 points.
constexpr int SmallestShownSize = 1;
constexpr int LargestShownSize = 72;

// Only text in a Qirtas font is glyph codes; any other font gets the wire's single-byte text.
// The line breaks between the lines of an Urdu message stay line breaks.
QString textToShow(const DecodedMessage &message)
{
    if (!message.MsgFontName.startsWith(UrduGlyphFont::familyPrefix()))
        return WireText::fromWire(message.MsgText);
    QStringList lines;
    for (const QByteArray &line : message.MsgText.split('\n'))
        lines << UrduGlyphFont::toDisplay(line.endsWith('\r') ? line.chopped(1) : line);
    return lines.join(LineBreak);
}

} // namespace

Transcript::Transcript(QTextEdit *rtbMain, std::function<QDateTime()> clock, const QLocale &locale)
    : QObject(rtbMain)
    , m_rtbMain(rtbMain)
    , m_end(rtbMain->document())
    , m_clock(std::move(clock))
    , m_locale(locale)
{
    // The transcript only ever grows at the end or is cleared; nobody can undo a run, so
    // keeping a history of them would only cost memory.
    m_rtbMain->document()->setUndoRedoEnabled(false);
}

void Transcript::AppendStyledRun(const QString &text, const QString &fontName, int fontSize,
    qint32 color, bool bold, bool italic, int alignment)
{
    // The cursor lives at the end; moving it there again costs nothing and survives a
    // clear of the box from elsewhere.
    m_end.movePosition(QTextCursor::End);

    // A size of 0 or less (a partner's markup that did not decode) takes the box's default
    // size; a huge one is held at what a saved file can still carry.
    const int pointSize = fontSize > 0 ? std::min(fontSize, LargestPointSize)
                                       : m_rtbMain->document()->defaultFont().pointSize();

    QTextCharFormat run;
    run.setFontItalic(italic);
    run.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    run.setFontFamilies(QStringList { fontName });
    run.setFontPointSize(pointSize);
    run.setForeground(ColorNumber::toColor(color));

    // A run that begins with a line break opens its own paragraph and aligns that one: the
    // paragraph it ends, such as an Urdu body without a closing line break, keeps its own.
    QStringView rest = text;
    if (rest.startsWith(LineBreak)) {
        m_end.insertText(LineBreak, run);
        rest = rest.mid(LineBreak.size());
    }
    alignLastParagraph(alignment);
    m_end.insertText(rest.toString(), run);

    followNewestText();
}

void Transcript::AppendRun(const QString &text, qint32 color, const QString &fontName, int fontSize)
{
    AppendStyledRun(text, fontName, fontSize, color, false, false, Left);
}

void Transcript::WriteSessionBanner(int id)
{
    const QDateTime now = m_clock();
    AppendRun(LineBreak + StringTable::text(id), Black, LabelFont, LabelSize);
    AppendRun(
        m_locale.toString(now.date(), u"ddd, MMMM dd, yyyy"), BannerCrimson, LabelFont, LabelSize);
    AppendRun(QStringLiteral(" at "), Black, LabelFont, LabelSize);
    AppendRun(m_locale.toString(now.time(), u"hh:mm:ss AP"), BannerCrimson, LabelFont, LabelSize);
}

void Transcript::writeSessionOpened(const QString &remoteNickname)
{
    clear();
    WriteSessionBanner(StringTable::SessionOpened);
    AppendRun(LineBreak + QStringLiteral("Remote User Nick is "), Black, LabelFont, LabelSize);
    AppendRun(remoteNickname + LineBreak, BannerCrimson, LabelFont, LabelSize);
}

void Transcript::writeConnectionReset(const QString &partner)
{
    AppendRun(LineBreak + StringTable::text(StringTable::ConnectionWithThe) + partner
            + StringTable::text(StringTable::IsReset),
        BannerCrimson, LabelFont, LabelSize);
}

void Transcript::ShowMessage(const QString &nickname, int writer, const DecodedMessage &message)
{
    AppendStyledRun(LineBreak + nickname + QStringLiteral(" Says : ") + LineBreak,
        QStringLiteral("Arial"), 10, writer != 0 ? RemoteNickPurple : LocalNickGreen, true, false,
        Left);
    const QString text = textToShow(message);
    const int size = qBound(SmallestShownSize, int(message.MsgFontSize), LargestShownSize);
    if (message.MsgUrdu)
        AppendStyledRun(text, message.MsgFontName, size, message.MsgColor, message.MsgBold,
            message.MsgItalic, Right);
    else
        AppendStyledRun(QStringLiteral("   ") + text, message.MsgFontName, size, message.MsgColor,
            message.MsgBold, message.MsgItalic, Left);
}

void Transcript::writeUserInformation(int headingId, const QString &ip, const QString &nickname,
    const QString &fullName, const QString &email)
{
    AppendRun(LineBreak + LineBreak + StringTable::text(headingId), Black,
        QStringLiteral("Arial Black"), LabelSize);
    const std::array<std::pair<int, const QString &>, 4> rows { {
        { StringTable::IpAddressLabel, ip },
        { StringTable::NickNameLabel, nickname },
        { StringTable::FullNameLabel, fullName },
        { StringTable::EmailAddressLabel, email },
    } };
    for (const auto &[label, value] : rows) {
        AppendRun(LineBreak + StringTable::text(label), Black, LabelFont, LabelSize);
        AppendRun(value, InfoValueBlue, LabelFont, LabelSize);
    }
}

void Transcript::clear()
{
    m_rtbMain->clear();
    m_end = QTextCursor(m_rtbMain->document());
}

QString Transcript::plainText() const
{
    QStringList paragraphs;
    for (QTextBlock block = m_rtbMain->document()->begin(); block.isValid(); block = block.next())
        paragraphs.append(block.text());
    return paragraphs.join(LineBreak);
}

bool Transcript::saveAs(const QString &fileName) const
{
    if (fileName.isEmpty())
        return false;
    // Written beside the target and renamed over it at the end, so a failure half-way
    // leaves an existing file as it was.
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly)
        && file.write(RtfWriter::write(*m_rtbMain->document())) >= 0 && file.commit();
}

void Transcript::print(QPrinter &printer) const
{
    m_rtbMain->document()->print(&printer);
}

void Transcript::alignLastParagraph(int alignment)
{
    // Absolute, and every paragraph left to right: right-to-left letters in a partner's
    // text do not turn its paragraph round or mirror the alignment.
    const Qt::Alignment wanted
        = Qt::AlignAbsolute | (alignment == Right ? Qt::AlignRight : Qt::AlignLeft);
    QTextBlockFormat paragraph = m_end.blockFormat();
    // A new format lays the paragraph out again; most runs find it as they want it.
    if (paragraph.alignment() == wanted && paragraph.layoutDirection() == Qt::LeftToRight)
        return;
    paragraph.setAlignment(wanted);
    paragraph.setLayoutDirection(Qt::LeftToRight);
    m_end.setBlockFormat(paragraph);
}

void Transcript::followNewestText()
{
    m_rtbMain->moveCursor(QTextCursor::End);
}
