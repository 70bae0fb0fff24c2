#include "ui/Transcript.h"

#include "chat/ColorNumber.h"
#include "net/WireText.h"
#include "resources/StringTable.h"
#include "ui/RtfWriter.h"
#include "ui/UrduRuns.h"
#include "urdu/UrduGlyphFont.h"

#include <QDir>
#include <QFontMetricsF>
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
// The font of the lines that name a message's writer.
const QString HeaderFont = QStringLiteral("Arial");

// The largest size a saved file can carry (half points in a signed 16-bit number).
constexpr int LargestPointSize = 1638;

// A run without a usable size (0 or less: a partner's size that did not decode) is drawn at
// the size of the transcript's own texts, which is also the size the markup reader gives a
// message it cannot read.
constexpr int DefaultSize = LabelSize;

// A partner's size is held at this, so that a hostile size cannot make the transcript
// unusable; an honest partner's font dialog stays below 24 points.
constexpr int LargestShownSize = 72;

// An English body's lines begin with it, so that no line of a partner's text starts at the
// margin, where the transcript's own headers stand.
const QString BodyIndent = QStringLiteral("   ");

QTextCharFormat runFormat(
    const QString &fontName, int fontSize, qint32 color, bool bold = false, bool italic = false)
{
    QTextCharFormat run;
    run.setFontItalic(italic);
    run.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    run.setFontFamilies(QStringList { fontName });
    // A huge size is held at what a saved file can still carry.
    run.setFontPointSize(fontSize > 0 ? std::min(fontSize, LargestPointSize) : DefaultSize);
    run.setForeground(ColorNumber::toColor(color));
    return run;
}

// Every line break a partner may send (CR LF, a lone CR or LF) opens a line that starts
// with the indent; the breaks become CR LF, which the document shows alike.
QString indentedLines(const QString &text)
{
    QString lines = text;
    lines.replace(LineBreak, QStringLiteral("\n")).replace(u'\r', u'\n');
    return BodyIndent + lines.split(u'\n').join(LineBreak + BodyIndent);
}

} // namespace

Transcript::Transcript(QTextEdit *rtbMain, std::function<QDateTime()> clock, const QLocale &locale,
    const QString &archiveFolder, TranscriptArchive::Limits limits)
    : QObject(rtbMain)
    , m_rtbMain(rtbMain)
    , m_end(rtbMain->document())
    , m_clock(std::move(clock))
    , m_locale(locale)
    , m_archive(*rtbMain->document(), archiveFolder, limits)
{
    // The transcript only ever grows at the end or is cleared; nobody can undo a run, so
    // keeping a history of them would only cost memory.
    m_rtbMain->document()->setUndoRedoEnabled(false);
    beginSession();
}

void Transcript::beginSession()
{
    m_sessionStart = m_clock();
    m_archive.beginSession(m_sessionStart);
}

void Transcript::AppendStyledRun(const QString &text, const QString &fontName, int fontSize,
    qint32 color, bool bold, bool italic, int alignment)
{
    m_end.beginEditBlock();
    writeRun(text, runFormat(fontName, fontSize, color, bold, italic), alignment, Paragraph::Own);
    finishEdit();
}

void Transcript::AppendRun(const QString &text, qint32 color, const QString &fontName, int fontSize)
{
    AppendStyledRun(text, fontName, fontSize, color, false, false, Left);
}

void Transcript::WriteSessionBanner(int id)
{
    const QDateTime now = m_clock();
    AppendRun(LineBreak + StringTable::text(id), Black, LabelFont, LabelSize);
    AppendRun(bannerDate(now.date()), BannerCrimson, LabelFont, LabelSize);
    AppendRun(QStringLiteral(" at "), Black, LabelFont, LabelSize);
    // Two ASCII digits each and "AM" or "PM", in every language.
    AppendRun(
        QLocale::c().toString(now.time(), u"hh:mm:ss AP"), BannerCrimson, LabelFont, LabelSize);
}

void Transcript::writeSessionOpened(const QString &remoteNickname, EarlierText earlier)
{
    if (earlier == EarlierText::Clear)
        clear();
    else
        beginSession();
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
    // Header and body are one edit, laid out once.
    m_end.beginEditBlock();
    writeRun(LineBreak + nickname + QStringLiteral(" Says : ") + LineBreak,
        runFormat(HeaderFont, LabelSize, writer != 0 ? RemoteNickPurple : LocalNickGreen, true),
        Left, Paragraph::Own);
    // The line breaks between the lines of an Urdu message stay line breaks.
    const QString text = MessageMarkup::readableText(message, &UrduGlyphFont::toDisplay, LineBreak);
    const QTextCharFormat body
        = runFormat(message.MsgFontName, std::min(int(message.MsgFontSize), LargestShownSize),
            message.MsgColor, message.MsgBold, message.MsgItalic);
    if (message.MsgUrdu) {
        // Written in the glyphs first, so that a message has the same paragraphs in both scripts.
        const int start = m_end.position();
        writeRun(text, body, Right, Paragraph::Body);
        if (m_script != UrduScript::Naskh)
            UrduRuns::redraw(*m_rtbMain->document(), start, m_script);
    } else
        writeRun(indentedLines(text), body, Left, Paragraph::Body);
    finishEdit();
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

void Transcript::setUrduScript(UrduScript script)
{
    if (script == m_script)
        return;
    m_script = script;
    UrduRuns::redraw(*m_rtbMain->document(), 0, script);
    followNewestText();
}

void Transcript::clear()
{
    m_rtbMain->clear();
    m_end = QTextCursor(m_rtbMain->document());
    beginSession();
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
    return file.open(QIODevice::WriteOnly) && file.write(rtf()) >= 0 && file.commit();
}

QByteArray Transcript::rtf() const
{
    return RtfWriter::write(*m_rtbMain->document());
}

void Transcript::print(QPrinter &printer) const
{
    m_rtbMain->document()->print(&printer);
}

// Appends text at the end with exactly the run's attributes. A run that begins with a line
// break opens its own paragraph and formats that one: the paragraph it ends, such as an Urdu
// body without a closing line break, keeps its own.
void Transcript::writeRun(
    const QString &text, const QTextCharFormat &run, int alignment, Paragraph paragraph)
{
    // The cursor lives at the end; moving it there again costs nothing and survives a
    // clear of the box from elsewhere.
    m_end.movePosition(QTextCursor::End);
    QStringView rest = text;
    if (rest.startsWith(LineBreak)) {
        m_end.insertText(LineBreak, run);
        rest = rest.mid(LineBreak.size());
    }
    formatLastParagraph(alignment, paragraph);
    m_end.insertText(rest.toString(), run);
}

void Transcript::formatLastParagraph(int alignment, Paragraph paragraph)
{
    const QTextBlockFormat wanted = paragraphFormat(alignment, paragraph);
    // A new format lays the paragraph out again; most runs find it as they want it.
    if (m_end.blockFormat() != wanted)
        m_end.setBlockFormat(wanted);
}

// The width of the indent in the header's font, at least a pixel. Measured with the first
// message: resolving the font costs milliseconds the program's start need not wait for.
qreal Transcript::bodyMargin() const
{
    if (!m_bodyMargin)
        m_bodyMargin = std::max(
            1.0, QFontMetricsF(QFont(HeaderFont, LabelSize)).horizontalAdvance(BodyIndent));
    return *m_bodyMargin;
}

QTextBlockFormat Transcript::paragraphFormat(int alignment, Paragraph paragraph) const
{
    // Absolute, and every paragraph left to right: right-to-left letters in a partner's
    // text do not turn its paragraph round or mirror the alignment.
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignAbsolute | (alignment == Right ? Qt::AlignRight : Qt::AlignLeft));
    format.setLayoutDirection(Qt::LeftToRight);
    if (paragraph == Paragraph::Body) {
        // Lines a wrap opens stand in by the indent too. An English line brings its own
        // blanks, so its first line is drawn from the margin.
        format.setLeftMargin(bodyMargin());
        if (alignment == Left)
            format.setTextIndent(-bodyMargin());
    }
    return format;
}

void Transcript::finishEdit()
{
    m_end.endEditBlock();
    keepWithinLimits();
    followNewestText();
}

// A failure to move the older half out is told once, at the end, and the text stays.
void Transcript::keepWithinLimits()
{
    if (!m_archive.isFull())
        return;
    QString error;
    const QString part = m_archive.moveOlderHalfOut(error);
    if (part.isEmpty())
        AppendRun(LineBreak + QStringLiteral("Earlier messages could not be saved (") + error
                + QStringLiteral("), so they stay here."),
            Black, LabelFont, LabelSize);
    else
        writeAtTop(QStringLiteral("Earlier messages of this session are saved in "),
            QDir::toNativeSeparators(part));
}

// A paragraph of the transcript's own at the top; the paragraph that was first keeps its format.
void Transcript::writeAtTop(const QString &label, const QString &value)
{
    QTextCursor top(m_rtbMain->document());
    top.beginEditBlock();
    top.insertBlock(top.blockFormat());
    top.movePosition(QTextCursor::Start);
    top.setBlockFormat(paragraphFormat(Left, Paragraph::Own));
    top.insertText(label, runFormat(LabelFont, LabelSize, Black));
    top.insertText(value, runFormat(LabelFont, LabelSize, BannerCrimson));
    top.endEditBlock();
}

QString Transcript::bannerDate(const QDate &date) const
{
    // The names are the user's; the numbers are ASCII digits, as in the time beside them.
    return m_locale.dayName(date.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(", ")
        + m_locale.monthName(date.month(), QLocale::LongFormat) + u' '
        + QStringLiteral("%1, %2").arg(date.day(), 2, 10, QLatin1Char('0')).arg(date.year());
}

void Transcript::followNewestText()
{
    m_rtbMain->moveCursor(QTextCursor::End);
}
