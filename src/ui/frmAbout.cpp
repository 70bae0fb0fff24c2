#include "ui/frmAbout.h"

#include "app/Desktop.h"
#include "resources/ProgramIcon.h"
#include "ui/DialogStyle.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

const QString frmAbout::WebSite = QStringLiteral("www.example.org/kalvex");
const QString frmAbout::EmailAddress = QStringLiteral("kalvex@example.org");

namespace {

const QColor LinkBlack(0, 0, 0);
const QColor LinkBlue(0, 0, 255);

QColor textColor(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel *createLabel(QWidget *parent, const QString &text, const QRect &geometry, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblDesc"));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setFont(font);
    return label;
}

} // namespace

frmAbout::frmAbout(Desktop &desktop, QWidget *parent)
    : QDialog(parent, DialogStyle::FixedDialogFlags)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About \"Kalvex\""));
    setFixedSize(Twips::toPixels(5730), Twips::toPixels(3375));
    setMouseTracking(true);
    installEventFilter(this);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(Twips::rect(255, 330, 480, 480));
    picIcon->setPixmap(ProgramIcon::icon().pixmap(32, 32));

    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSizeF(14.25);
    titleFont.setBold(true);
    QLabel *title = createLabel(
        this, QStringLiteral("KALVEX v1.0"), Twips::rect(1080, 285, 3360, 330), titleFont);
    title->setProperty("index", 0);
    QLabel *description = createLabel(this,
        QStringLiteral(
            "Kalvex is a small & Easy to use Messaging Software. It contains the facility of "
            "messaging in two different languages; English & Urdu."),
        Twips::rect(1080, 1410, 3885, 885), DialogStyle::captionFont());
    description->setProperty("index", 1);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (const int offset : { 0, 15 }) {
        auto *rule = new QFrame(this);
        rule->setObjectName(QStringLiteral("ln"));
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(offset == 0 ? QFrame::Sunken : QFrame::Plain);
        rule->setGeometry(Twips::rect(0, 2520 + offset - 15, 5730, 30));
    }

    m_lblWebsite
        = createLink(QStringLiteral("lblWebsite"), WebSite, Twips::rect(285, 2715, 3210, 195));
    m_lblEmail
        = createLink(QStringLiteral("lblEmail"), EmailAddress, Twips::rect(285, 3030, 2610, 195));

    auto *cmdOK = new QPushButton(QStringLiteral("&Close"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::rect(4275, 2820, 1260, 345));
    cmdOK->setFont(DialogStyle::captionFont());
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    // Enter presses the default button; Esc rejects the dialog: both close the box.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel *frmAbout::createLink(const QString &name, const QString &text, const QRect &geometry)
{
    QFont font = DialogStyle::captionFont();
    font.setUnderline(true);
    QLabel *link = createLabel(this, text, geometry, font);
    link->setObjectName(name);
    // The desktop's stand-in for Tahoma may be larger: grow the label so that neither
    // the text nor its underline is cut off.
    link->resize(link->size().expandedTo(link->sizeHint()));
    link->setCursor(Qt::PointingHandCursor);
    link->setMouseTracking(true);
    link->installEventFilter(this);
    setTextColor(link, LinkBlack);
    return link;
}

// Opened from the main window's menu, the box centres on it, on its owner when it has one.
void frmAbout::showEvent(QShowEvent *event)
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (owner && owner != this) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        // A main window near the screen's edge must not push the box off the screen.
        const QRect area = owner->screen()->availableGeometry();
        frame.moveLeft(qMax(area.left(), qMin(frame.left(), area.right() + 1 - frame.width())));
        frame.moveTop(qMax(area.top(), qMin(frame.top(), area.bottom() + 1 - frame.height())));
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == this)
            Form_MouseMove();
        else if (watched == m_lblEmail || watched == m_lblWebsite) {
            link_MouseMove(static_cast<QLabel *>(watched));
            // Taken here, so that the move does not reach the background as well.
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_lblEmail)
            lblEmail_Click();
        else if (watched == m_lblWebsite)
            lblWebsite_Click();
    }
    return QDialog::eventFilter(watched, event);
}

// A link stays blue after the pointer leaves it, until the pointer crosses the background.
void frmAbout::Form_MouseMove()
{
    for (QLabel *link : { m_lblEmail, m_lblWebsite }) {
        if (textColor(link) == LinkBlue)
            setTextColor(link, LinkBlack);
    }
}

void frmAbout::link_MouseMove(QLabel *link)
{
    if (textColor(link) == LinkBlack)
        setTextColor(link, LinkBlue);
}

void frmAbout::lblEmail_Click()
{
    m_desktop.openUrl(QUrl(QStringLiteral("mailto:") + EmailAddress));
}

void frmAbout::lblWebsite_Click()
{
    m_desktop.openUrl(QUrl(QStringLiteral("https://") + WebSite));
}
