#include "platform/TOpenDialog.h"

#include <QFileDialog>

QString TOpenDialog::QtFilter() const
{
    const qsizetype bar = m_filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return m_filter;
    return m_filter.left(bar) + QStringLiteral(" (") + m_filter.mid(bar + 1) + QLatin1Char(')');
}

namespace {

std::function<QString()> &Chooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

} // namespace

QString TOpenDialog::Execute(QWidget *parent, const QString &title) const
{
    if (Chooser())
        return Chooser()();
    return QFileDialog::getOpenFileName(parent, title, QString(), QtFilter());
}

void TOpenDialog::SetChooser(std::function<QString()> chooser)
{
    Chooser() = std::move(chooser);
}
