#include "ui/frmFileTransfer.h"

#include "transfer/FileTransfer.h"
#include "ui/CommonDialog.h"
#include "ui/DialogStyle.h"
#include "ui/Twips.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {
constexpr int HideReadOnly = 4;
const QString AllFiles = QStringLiteral("All Files (*.*)|*.*");
} // namespace

frmFileTransfer::frmFileTransfer(CommonDialog &cdMain, Desktop &desktop, QWidget *parent)
    : QDialog(parent, DialogStyle::FixedDialogFlags)
    , m_cdMain(cdMain)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmFileTransfer"));
    setWindowTitle(QStringLiteral("Send File"));
    setModal(true);
    setFixedSize(Twips::toPixels(5430), Twips::toPixels(1455));

    auto *lblDesc = new QLabel(QStringLiteral("File Name :"), this);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    lblDesc->setGeometry(Twips::rect(120, 180, 1095, 255));
    lblDesc->setFont(DialogStyle::captionFont());

    m_txtFileName = new QLineEdit(this);
    m_txtFileName->setObjectName(QStringLiteral("txtFileName"));
    m_txtFileName->setGeometry(Twips::rect(1200, 120, 3615, 330));
    m_txtFileName->setFont(DialogStyle::nameFieldFont());

    QPushButton *cmdBrowse = createButton(
        QStringLiteral("cmdBrowse"), QStringLiteral("..."), Twips::rect(4860, 120, 435, 330));
    QPushButton *cmdOK = createButton(
        QStringLiteral("cmdOK"), QStringLiteral("&Send"), Twips::rect(2760, 720, 1215, 375));
    QPushButton *cmdCancel = createButton(
        QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), Twips::rect(4080, 720, 1215, 375));
    cmdOK->setDefault(true);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmFileTransfer::cmdBrowse_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFileTransfer::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFileTransfer::reject);

    setTabOrder(m_txtFileName, cmdBrowse);
    setTabOrder(cmdBrowse, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
}

QPushButton *frmFileTransfer::createButton(
    const QString &name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(DialogStyle::captionFont());
    button->setAutoDefault(false);
    return button;
}

void frmFileTransfer::setFileName(const QString &path)
{
    m_txtFileName->setText(path);
}

// A cancelled chooser still fills the field with the name the shared dialog holds.
void frmFileTransfer::cmdBrowse_Click()
{
    m_cdMain.Flags = HideReadOnly;
    m_cdMain.Filter = AllFiles;
    m_cdMain.ShowOpen(this);
    m_txtFileName->setText(m_cdMain.FileName);
}

// One transfer at a time: Send pressed again while the first is being set up does nothing.
void frmFileTransfer::cmdOK_Click()
{
    if (m_sending)
        return;
    const QString path = m_txtFileName->text();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isReadable()) {
        m_desktop.messageBox(this,
            QStringLiteral("File Not Found!\r\nMake sure the path is correct."),
            Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        return;
    }
    if (file.size() > FileTransfer::MaxFileSize) {
        m_desktop.messageBox(this,
            QStringLiteral("Maximum 2MB File can be Sent.\r\nPlease Select a File less than 2MB."),
            Desktop::Icon::Information, Desktop::Buttons::Ok);
        return;
    }
    const QScopedValueRollback sending(m_sending, true);
    emit sendRequested(path);
    accept();
}

// The dialog closes once the transfer asked for has been set up or given up.
void frmFileTransfer::reject()
{
    if (m_sending)
        emit cancelRequested();
    else
        QDialog::reject();
}
