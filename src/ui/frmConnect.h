#pragma once
#include <QDialog>
class QAction;
class basMain;
class frmConnect final : public QDialog
{
    Q_OBJECT
public:
    frmConnect(basMain &program, QAction *mnuConnect, QWidget *parent = nullptr);
};
