#include "platform/controls/ProgramEnd.h"

#include <QCoreApplication>

void ProgramEnd::Request()
{
    m_requested = true;
    QCoreApplication::exit(0);
}
