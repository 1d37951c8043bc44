#pragma once

#include <QLabel>

// A transparent label of fixed size. Assistive tools read its caption as its text and value, while its
// accessible name stays its layout name.
class TLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TLabel(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption);

    // Registers the accessibility factory that exposes label captions; idempotent.
    static void InstallAccessibility();
};
