#include "platform/dialogs/TOpenDialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>

QString TOpenDialog::QtFilter() const
{
    const qsizetype bar = m_filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return m_filter;
    return m_filter.left(bar) + QStringLiteral(" (") + m_filter.mid(bar + 1) + QLatin1Char(')');
}

namespace {

// The files' sizes and dates in the program's language: the file system model writes them in the system's,
// which the learner's session may not set to French.
class FrenchFileDetails : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale french;
        if (index.column() == SizeColumn && !files->isDir(source))
            return french.formattedDataSize(files->size(source));
        if (index.column() == DateColumn)
            return french.toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int SizeColumn = 1;
    static constexpr int DateColumn = 3;
};

} // namespace

std::unique_ptr<QFileDialog> TOpenDialog::MakeDialog(QWidget *parent, const QString &title) const
{
    auto dialog = std::make_unique<QFileDialog>(parent, title, InitialDir, QtFilter());
    // The program's own dialog, whatever the desktop: its texts come from the program's French translations.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    QString extension = m_defaultExt;
    extension.remove(QStringLiteral("*.")).remove(QLatin1Char('.'));
    dialog->setDefaultSuffix(extension);
    dialog->setProxyModel(new FrenchFileDetails(dialog.get()));
    return dialog;
}

QString TOpenDialog::Execute(QWidget *parent, const QString &title) const
{
    std::unique_ptr<QFileDialog> dialog = MakeDialog(parent, title);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return QString();
    return dialog->selectedFiles().front();
}
