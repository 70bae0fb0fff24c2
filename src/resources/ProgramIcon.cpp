#include "resources/ProgramIcon.h"

namespace ProgramIcon {

QIcon icon()
{
    QIcon programIcon;
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
        programIcon.addFile(
            QStringLiteral(":/resources/icons/kalvex-%1.png").arg(size), QSize(size, size));
    return programIcon;
}

} // namespace ProgramIcon
