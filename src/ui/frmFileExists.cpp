#include "ui/frmFileExists.h"

#include "app/Desktop.h"
#include "transfer/DownloadFolder.h"
#include "transfer/PlainFileName.h"
#include "ui/DialogStyle.h"
#include "ui/KeyAsciiFilter.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Characters that have a meaning to file systems or shells are not typed into a name.
bool typableInName(int keyAscii)
{
    static const QByteArray refused("\"'*+/:<=>?\\|");
    return keyAscii > 127 || !refused.contains(char(keyAscii));
}

} // namespace

frmFileExists::frmFileExists(const DownloadFolder &folder, Desktop &desktop, QWidget *parent)
    : QDialog(parent, DialogStyle::FixedDialogFlags)
    , m_folder(folder)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmFileExists"));
    setWindowTitle(QStringLiteral("File Already Exists!"));
    setModal(true);
    setFixedSize(Twips::toPixels(4275), Twips::toPixels(2160));

    m_optOverwrite = createOption(0, QStringLiteral("&Overwrite"), 120);
    QRadioButton *optRename = createOption(1, QStringLiteral("&Rename"), 420);
    m_optOverwrite->setChecked(true);

    m_fraFileName = new QFrame(this);
    m_fraFileName->setObjectName(QStringLiteral("fraFileName"));
    m_fraFileName->setGeometry(Twips::rect(120, 720, 4035, 495));
    m_fraFileName->setFrameShape(QFrame::Box);
    m_fraFileName->setEnabled(false);
    auto *lblDesc = new QLabel(QStringLiteral("FileName :"), m_fraFileName);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    lblDesc->setGeometry(Twips::rect(90, 165, 975, 195));
    lblDesc->setFont(DialogStyle::captionFont());
    m_txtFilename = new QLineEdit(m_fraFileName);
    m_txtFilename->setObjectName(QStringLiteral("txtFilename"));
    m_txtFilename->setGeometry(Twips::rect(1080, 105, 2850, 315));
    m_txtFilename->setFont(DialogStyle::nameFieldFont());
    new KeyAsciiFilter(m_txtFilename, typableInName);

    auto *cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(Twips::rect(1620, 1380, 1215, 375));
    auto *cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(Twips::rect(2940, 1380, 1215, 375));
    for (QPushButton *button : { cmdOk, cmdCancel }) {
        button->setFont(DialogStyle::captionFont());
        button->setAutoDefault(false);
    }
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmFileExists::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFileExists::reject);

    setTabOrder(m_optOverwrite, optRename);
    setTabOrder(optRename, m_txtFilename);
    setTabOrder(m_txtFilename, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
}

QRadioButton *frmFileExists::createOption(int index, const QString &caption, int top)
{
    auto *option = new QRadioButton(caption, this);
    // Both elements of the option pair carry its one name, in element order.
    option->setObjectName(QStringLiteral("OptFile"));
    option->setGeometry(Twips::rect(120, top, 2000, 255));
    option->setFont(DialogStyle::captionFont());
    connect(option, &QRadioButton::clicked, this, [this, index] { OptFile_Click(index); });
    return option;
}

QString frmFileExists::chosenName(const QString &offered) const
{
    return m_optOverwrite->isChecked() ? offered : m_txtFilename->text();
}

void frmFileExists::OptFile_Click(int index)
{
    m_fraFileName->setEnabled(index == 1);
}

// The name is taken as typed, blanks included; pasted text gets the same check as a
// partner's offered name.
void frmFileExists::cmdOk_Click()
{
    if (m_optOverwrite->isChecked()) {
        accept();
        return;
    }
    const QString name = m_txtFilename->text();
    if (m_folder.holds(name))
        warn(QStringLiteral(
            "The File with the same name already exists!\r\nPlease choose another filename."));
    else if (name.isEmpty())
        warn(QStringLiteral("Please enter a Filename."));
    else if (const QString problem = PlainFileName::problem(name); !problem.isEmpty())
        warn(problem + QStringLiteral("\r\nPlease choose another filename."));
    else
        accept();
}

void frmFileExists::warn(const QString &text)
{
    m_desktop.messageBox(this, text, Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
}
