#include "ui/frmConnect.h"
#include "app/basMain.h"
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
frmConnect::frmConnect(basMain &program, QAction *mnuConnect, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConnect"));
    auto *ip = new QLineEdit(program.RemoteIP, this);
    ip->setObjectName(QStringLiteral("txtIP"));
    auto *ok = new QPushButton(QStringLiteral("C&onnect"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    connect(ok, &QPushButton::clicked, this, [=, &program] {
        mnuConnect->setData(QStringLiteral("1"));
        program.RemoteIP = ip->text();
        accept();
    });
}
