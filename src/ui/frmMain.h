#pragma once

#include <QMainWindow>

class basMain;
class SocketEndpoint;

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(basMain &program, QWidget *parent = nullptr);
    ~frmMain() override;

    SocketEndpoint &WskMain() const { return *m_wskMain; }

private:
    basMain &m_program;
    SocketEndpoint *m_wskMain;
};
