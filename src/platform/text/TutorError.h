#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// A failure that ends the current event handler and is shown to the learner, as it stands, in the
// standard error box. The text is French and carried as UTF-8.
class TutorError : public std::runtime_error
{
public:
    explicit TutorError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};
