#pragma once

#include <QLabel>

// A transparent label of fixed size. Assistive tools read its caption as its text and value; its accessible name
// is whatever it is given, or follows the caption (see ReadCaptionAs).
class TLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TLabel(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption);

    // From now on the accessible name is the caption, kept current; with a prefix it reads "<prefix> : <caption>"
    // ("Justes : 4"), as the learner reads the caption drawn beside a counter.
    void ReadCaptionAs(const QString &prefix = QString());

    // Registers the accessibility factory that exposes label captions; idempotent.
    static void InstallAccessibility();

private:
    void UpdateAccessibleName();

    bool m_nameFollowsCaption = false;
    QString m_prefix;
};
