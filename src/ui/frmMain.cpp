#include "ui/frmMain.h"

#include "app/basMain.h"
#include "net/SocketEndpoint.h"

frmMain::frmMain(basMain &program, QWidget *parent)
    : QMainWindow(parent)
    , m_program(program)
    , m_wskMain(new SocketEndpoint(this, program.environment().bindAddress))
{
}

frmMain::~frmMain() = default;
