#include "ui/frmConnect.h"

#include "app/basMain.h"
#include "ui/DialogStyle.h"
#include "ui/KeyAsciiFilter.h"
#include "ui/Twips.h"
#include "ui/frmSettings.h"

#include <QAction>
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

    m_txtIP = new QLineEdit(this);
    m_txtIP->setObjectName(QStringLiteral("txtIP"));
    m_txtIP->setGeometry(Twips::rect(1920, 315, 2160, 375));
    m_txtIP->setFont(DialogStyle::fieldFont());
    m_txtIP->setToolTip(QStringLiteral("IP Address of the Remote Computer."));
    new KeyAsciiFilter(m_txtIP, [](int keyAscii) {
        return (keyAscii >= '0' && keyAscii <= '9') || keyAscii == '.' || keyAscii == 8;
    });

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
    lblDesc->setBuddy(m_txtIP);

    setTabOrder(m_txtIP, cmdUserSettings);
    setTabOrder(cmdUserSettings, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    DialogStyle::setLimitedText(m_txtIP, AddressLimit, m_program.RemoteIP);
}

QPushButton *frmConnect::createButton(const QString &name, const QString &caption, int left)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(Twips::rect(left, 1080, 1215, 375));
    button->setFont(DialogStyle::captionFont());
    return button;
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
    accept();
}

void frmConnect::cmdUserSettings_Click()
{
    frmSettings settings(m_program, this);
    settings.exec();
}
