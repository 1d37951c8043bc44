#pragma once

#include <functional>
#include <memory>

#include <QString>

class QFileDialog;
class QWidget;

// A file-open dialog described by a filter "description|pattern" and a default extension. It opens in its
// initial folder and speaks French throughout: its texts, its file types, and the sizes and dates of the files.
class TOpenDialog
{
public:
    TOpenDialog(const QString &filter, const QString &defaultExt) : m_filter(filter), m_defaultExt(defaultExt) {}

    const QString &Filter() const { return m_filter; }
    const QString &DefaultExt() const { return m_defaultExt; }
    // The filter as Qt writes it: "description (pattern)".
    QString QtFilter() const;

    // The folder the dialog opens in; empty for the current folder.
    QString InitialDir;

    // Asks for a file under the given title; empty when the learner cancels.
    QString Execute(QWidget *parent, const QString &title = QString()) const;

    // The dialog Execute shows, not yet shown.
    std::unique_ptr<QFileDialog> MakeDialog(QWidget *parent, const QString &title = QString()) const;

private:
    QString m_filter;
    QString m_defaultExt;
};
