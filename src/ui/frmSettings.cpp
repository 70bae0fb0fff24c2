#include "ui/frmSettings.h"
frmSettings::frmSettings(basMain &, QWidget *parent)
    : QDialog(parent)
{
}
