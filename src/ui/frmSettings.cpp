#include "ui/frmSettings.h"

#include "app/basMain.h"
#include "ui/DialogStyle.h"
#include "ui/KeyAsciiFilter.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

const QString frmSettings::EmailRefusedCharacters = QStringLiteral("!#$%^&*()=+{}[]|\\;:'/?>,<\"");

namespace {

// Rows from the top, in twips: the label sits a little lower than its field.
constexpr int RowTop[] = { 240, 660, 1080, 1500, 1920 };
constexpr int LabelLeft = 120;
constexpr int LabelWidth = 1935;
constexpr int LabelDrop = 60;
constexpr int FieldLeft = 2100;
constexpr int FieldWidth = 2760;
constexpr int FieldHeight = 315;

enum Row { IPAddressRow, NickRow, NameRow, EmailRow, PathRow };

} // namespace

frmSettings::frmSettings(basMain &program, QWidget *parent)
    : QDialog(parent, DialogStyle::FixedDialogFlags)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Kalvex - Settings"));
    setModal(true);
    setFixedSize(Twips::toPixels(4980), Twips::toPixels(3015));

    createLabel(0, QStringLiteral("Local IP Address :"), IPAddressRow);
    createLabel(1, QStringLiteral("Download Folder :"), PathRow);
    createLabel(2, QStringLiteral("Your NickName :"), NickRow);
    createLabel(3, QStringLiteral("Your Full Name :"), NameRow);
    createLabel(4, QStringLiteral("Your Email Address :"), EmailRow);

    m_lblIPAddress = new QLabel(this);
    m_lblIPAddress->setObjectName(QStringLiteral("lblIPAddress"));
    m_lblIPAddress->setTextFormat(Qt::PlainText);
    m_lblIPAddress->setFont(DialogStyle::fieldFont());
    m_lblIPAddress->setGeometry(
        Twips::rect(FieldLeft, RowTop[IPAddressRow], FieldWidth, FieldHeight));
    m_lblIPAddress->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblIPAddress->setAutoFillBackground(true);
    QPalette grey = m_lblIPAddress->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    m_lblIPAddress->setPalette(grey);

    m_txtNick = createField(QStringLiteral("txtNick"), NickRow);
    m_txtName = createField(QStringLiteral("txtName"), NameRow);
    m_txtEmail = createField(QStringLiteral("txtEmail"), EmailRow);
    m_txtPath = createField(QStringLiteral("txtPath"), PathRow);
    new KeyAsciiFilter(
        m_txtEmail, [](int keyAscii) { return !EmailRefusedCharacters.contains(QChar(keyAscii)); });
    createButtons();

    Form_Load();
}

QLabel *frmSettings::createLabel(int index, const QString &caption, int row)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("lblDesc"));
    label->setProperty("index", index);
    label->setFont(DialogStyle::captionFont());
    label->setGeometry(
        Twips::rect(LabelLeft, RowTop[row] + LabelDrop, LabelWidth, FieldHeight - LabelDrop));
    return label;
}

QLineEdit *frmSettings::createField(const QString &name, int row)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(name);
    field->setFont(DialogStyle::fieldFont());
    field->setGeometry(Twips::rect(FieldLeft, RowTop[row], FieldWidth, FieldHeight));
    return field;
}

void frmSettings::createButtons()
{
    auto *cmdOK = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::rect(2280, 2460, 1215, 375));
    cmdOK->setFont(DialogStyle::captionFont());
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmSettings::cmdOK_Click);

    auto *cmdCancel = new QPushButton(QStringLiteral("C&ancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(Twips::rect(3645, 2460, 1215, 375));
    cmdCancel->setFont(DialogStyle::captionFont());
    // Esc rejects the dialog, which is what this button does.
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_txtNick, m_txtName);
    setTabOrder(m_txtName, m_txtEmail);
    setTabOrder(m_txtEmail, m_txtPath);
    setTabOrder(m_txtPath, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
}

void frmSettings::Form_Load()
{
    if (m_program.IsConnected()) {
        for (QLineEdit *field : { m_txtNick, m_txtName, m_txtEmail, m_txtPath })
            field->setEnabled(false);
    }
    m_lblIPAddress->setText(m_program.LocalUserIP);
    DialogStyle::setLimitedText(m_txtNick, 10, m_program.LocalNickname);
    DialogStyle::setLimitedText(m_txtName, 30, m_program.LocalFullName);
    DialogStyle::setLimitedText(m_txtEmail, 30, m_program.LocalEmail);
    DialogStyle::setLimitedText(m_txtPath, 30, m_program.DownloadPath);
}

// A session that opened while the dialog was up makes OK store nothing, as when it opened
// before. Confirmed values are saved at once, so that they outlive a crash.
void frmSettings::cmdOK_Click()
{
    if (!m_program.IsConnected()) {
        const QString nickname = m_txtNick->text().trimmed();
        const QString fullName = m_txtName->text().trimmed();
        const QString email = m_txtEmail->text().trimmed();
        if (nickname.isEmpty() || fullName.isEmpty() || email.isEmpty()) {
            m_program.environment().desktop->messageBox(this,
                QStringLiteral("Please Enter Nickname, Fullname & Email."),
                Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
            return;
        }
        m_program.LocalNickname = nickname;
        m_program.LocalFullName = fullName;
        m_program.LocalEmail = email;
        m_program.DownloadPath = basMain::downloadFolder(m_txtPath->text());
        m_program.SaveSettings();
    }
    accept();
}
