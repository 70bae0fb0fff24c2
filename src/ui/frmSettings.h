#pragma once
#include <QDialog>
class basMain;
class frmSettings final : public QDialog
{
    Q_OBJECT
public:
    explicit frmSettings(basMain &program, QWidget *parent = nullptr);
};
