#include "ui/frmConnect.h"

#include "app/basMain.h"
#include "ui/DialogStyle.h"
#include "ui/KeyAsciiFilter.h"
#include "ui/Twips.h"
#include "ui/frmSettings.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int AddressLimit = 15;
const QString ConnectRequested = QStringLiteral("1");
} // namespace

frmConnect::frmConnect(basMain &program, QAction *mnuConnect, QWidget *parent)
    : QDialog(parent, DialogStyle::FixedDialogFlags)
    , m_program(program)
    , m_mnuConnect(mnuConnect)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("Kalvex - Connect"));
    setModal(true);
    setFixedSize(Twips::toPixels(4170), Twips::toPixels(1515));

    createAddressField();

    QPushButton *cmdUserSettings
        = createButton(QStringLiteral("cmdUserSettings"), QStringLiteral("&Settings"), 90);
    QPushButton *cmdOk = createButton(QStringLiteral("cmdOk"), QStringLiteral("C&onnect"), 1650);
    QPushButton *cmdCancel
        = createButton(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), 2880);
    cmdOk->setDefault(true);
    connect(cmdUserSettings, &QPushButton::clicked, this, &frmConnect::cmdUserSettings_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmConnect::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConnect::reject);

    auto *lblDesc = new QLabel(QStringLiteral("Remote IP &Address :"), this);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    lblDesc->setGeometry(Twips::rect(105, 405, 1725, 195));
    lblDesc->setFont(DialogStyle::captionFont());
    lblDesc->setBuddy(m_cboRecentIPs);

    setTabOrder(m_cboRecentIPs, cmdUserSettings);
    setTabOrder(cmdUserSettings, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    DialogStyle::setLimitedText(m_txtIP, AddressLimit, m_program.RemoteIP);
}

// The address field is the editable part of a drop-down of the recent partners; its content
// is RemoteIP until an entry is chosen.
void frmConnect::createAddressField()
{
    m_cboRecentIPs = new QComboBox(this);
    m_cboRecentIPs->setObjectName(QStringLiteral("cboRecentIPs"));
    m_cboRecentIPs->setGeometry(Twips::rect(1920, 315, 2160, 375));
    m_cboRecentIPs->setFont(DialogStyle::fieldFont());
    m_cboRecentIPs->setToolTip(QStringLiteral("IP Address of the Remote Computer."));
    m_txtIP = new QLineEdit(m_cboRecentIPs);
    m_txtIP->setObjectName(QStringLiteral("txtIP"));
    m_cboRecentIPs->setLineEdit(m_txtIP);
    m_cboRecentIPs->setInsertPolicy(QComboBox::NoInsert);
    m_cboRecentIPs->setCompleter(nullptr);
    m_cboRecentIPs->addItems(m_program.RecentIPs);
    m_cboRecentIPs->setCurrentIndex(-1);
    // The drop-down holds the keyboard focus and hands typed keys straight to the field, past
    // the field's own filters; both get the filter.
    for (QWidget *keyTarget : std::initializer_list<QWidget *> { m_cboRecentIPs, m_txtIP }) {
        new KeyAsciiFilter(keyTarget, [](int keyAscii) {
            return (keyAscii >= '0' && keyAscii <= '9') || keyAscii == '.' || keyAscii == 8;
        });
    }
    connect(m_cboRecentIPs, &QComboBox::activated, this, &frmConnect::cboRecentIPs_Activated);
}

QPushButton *frmConnect::createButton(const QString &name, const QString &caption, int left)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(Twips::rect(left, 1080, 1215, 375));
    button->setFont(DialogStyle::captionFont());
    return button;
}

// A stored host name may be longer than the field takes when typing; it is shown whole.
void frmConnect::cboRecentIPs_Activated(int index)
{
    DialogStyle::setLimitedText(m_txtIP, AddressLimit, m_cboRecentIPs->itemText(index));
}

void frmConnect::reject()
{
    m_mnuConnect->setData(QString());
    QDialog::reject();
}

// Esc belongs to the settings button here: it opens the settings and leaves this open.
void frmConnect::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdUserSettings_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmConnect::cmdOk_Click()
{
    m_mnuConnect->setData(ConnectRequested);
    m_program.RemoteIP = m_txtIP->text();
    m_program.rememberPartner(m_program.RemoteIP);
    accept();
}

void frmConnect::cmdUserSettings_Click()
{
    frmSettings settings(m_program, this);
    settings.exec();
}
