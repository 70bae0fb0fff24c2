#pragma once

#include "chat/MessageMarkup.h"
#include "ui/TranscriptArchive.h"
#include "urdu/UrduScript.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QTextCursor>

#include <functional>
#include <optional>

class QPrinter;
class QTextEdit;

// The chat transcript on the rich-text box: every writer appends styled runs at the end,
// the session opens with a clear and a banner, messages show under their writer's name,
// and the whole can be saved as RTF or printed. All text goes in as plain text, so a
// partner's words are never read as markup.
class Transcript final : public QObject
{
    Q_OBJECT

public:
    enum Alignment : int { Left = 0, Right = 1 };

    // Colour numbers of the transcript's own texts.
    static constexpr qint32 Black = 0;
    static constexpr qint32 InfoValueBlue = 0xC4382D; // RGB 45, 56, 196
    static constexpr qint32 BannerCrimson = 0x47029B; // RGB 155, 2, 71
    static constexpr qint32 LocalNickGreen = 0x4B9805; // RGB 5, 152, 75
    static constexpr qint32 RemoteNickPurple = 0x984171; // RGB 113, 65, 152

    // The transcript belongs to rtbMain. clock gives the current date and time and locale
    // names the days and months of the session banner; tests pass fixed ones. A session
    // that outgrows the limits has its older half moved to part files in archiveFolder.
    explicit Transcript(
        QTextEdit *rtbMain,
        std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); },
        const QLocale &locale = QLocale::system(),
        const QString &archiveFolder = TranscriptArchive::standardFolder(),
        TranscriptArchive::Limits limits = TranscriptArchive::StandardLimits);
    Q_DISABLE_COPY_MOVE(Transcript)

    // Appends text at the end with exactly these attributes; nothing is inherited from the
    // run before. The alignment applies to the last paragraph, the one the text starts in,
    // and to the paragraphs its CR LF breaks open. color is a colour number (0x00BBGGRR, or
    // a system colour with the top bit set); fontSize is in whole points.
    void AppendStyledRun(const QString &text, const QString &fontName, int fontSize, qint32 color,
        bool bold, bool italic, int alignment);
    // A plain, left-aligned run.
    void AppendRun(const QString &text, qint32 color, const QString &fontName, int fontSize);
    // The opening (127) or closing (128) banner with the current date and time.
    void WriteSessionBanner(int id);
    // What becomes of the text of earlier sessions when a new one opens.
    enum class EarlierText { Clear, Keep };

    // A new session: the transcript starts afresh, or after the earlier text when that is to
    // be kept, with the opening banner and the partner's nickname.
    void writeSessionOpened(
        const QString &remoteNickname, EarlierText earlier = EarlierText::Clear);
    // When the session shown last began.
    QDateTime sessionStart() const { return m_sessionStart; }
    // The line that ends a session; partner is "nickname {address}".
    void writeConnectionReset(const QString &partner);
    // A message under its writer's name (green for our own, 0, purple for the partner's, 1),
    // in the writer's style: English with every line indented by three blanks, Urdu
    // right-aligned. No line of a body, wrapped ones included, starts at the margin, where
    // only the transcript's own lines stand.
    void ShowMessage(const QString &nickname, int writer, const DecodedMessage &message);
    // The nine runs of a user-information block; heading 111 remote or 112 local.
    void writeUserInformation(int headingId, const QString &ip, const QString &nickname,
        const QString &fullName, const QString &email);

    // Draws every Urdu message shown, and those to come, in the script. Save As and the
    // history write the same file in either.
    void setUrduScript(UrduScript script);

    void clear();
    // What is on screen, not the parts moved out, goes into plainText, Save As and Print.
    // The runs' text, paragraphs joined by CR LF.
    QString plainText() const;
    // Writes the transcript as RTF to fileName, replacing a file of that name. False when
    // nothing could be written; an existing file is then left as it was.
    bool saveAs(const QString &fileName) const;
    // The transcript as Save As writes it.
    QByteArray rtf() const;
    // Renders the transcript with its fonts and colours onto the printer.
    void print(QPrinter &printer) const;

private:
    // The transcript's own paragraphs start at the margin; a message body keeps off it.
    enum class Paragraph { Own, Body };

    void writeRun(
        const QString &text, const QTextCharFormat &run, int alignment, Paragraph paragraph);
    void formatLastParagraph(int alignment, Paragraph paragraph);
    QTextBlockFormat paragraphFormat(int alignment, Paragraph paragraph) const;
    qreal bodyMargin() const;
    void finishEdit();
    void beginSession();
    void keepWithinLimits();
    void writeAtTop(const QString &label, const QString &value);
    QString bannerDate(const QDate &date) const;
    void followNewestText();

    QTextEdit *m_rtbMain;
    QTextCursor m_end;
    std::function<QDateTime()> m_clock;
    QDateTime m_sessionStart;
    QLocale m_locale;
    TranscriptArchive m_archive;
    mutable std::optional<qreal> m_bodyMargin;
    UrduScript m_script = UrduScript::Naskh;
};
