#include "platform/TOpenDialog.h"

#include <QFileDialog>

QString TOpenDialog::QtFilter() const
{
    const qsizetype bar = m_filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return m_filter;
    return m_filter.left(bar) + QStringLiteral(" (") + m_filter.mid(bar + 1) + QLatin1Char(')');
}

QString TOpenDialog::Execute(QWidget *parent) const
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), QtFilter());
}
