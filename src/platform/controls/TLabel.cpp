#include "platform/controls/TLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Qt hides a label's caption from assistive tools once the label has an accessible name; this interface gives
// the caption back as the label's text, value and (without a hint) description.
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit LabelAccessible(TLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    TLabel *Label() const { return static_cast<TLabel *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return Label()->accessibleName();
        case QAccessible::Value: return Label()->Caption();
        case QAccessible::Description: {
            const QString hint = Label()->accessibleDescription();
            return hint.isEmpty() ? Label()->Caption() : hint;
        }
        default: return QAccessibleWidget::text(t);
        }
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Read-only text: no selection, no cursor.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        return Label()->Caption().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Label()->Caption().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }
};

QAccessibleInterface *LabelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TLabel") && object && object->isWidgetType())
        return new LabelAccessible(static_cast<TLabel *>(object));
    return nullptr;
}

} // namespace

TLabel::TLabel(QWidget *parent) : QLabel(parent)
{
    InstallAccessibility();
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void TLabel::SetCaption(const QString &caption)
{
    if (caption == text())
        return;
    const QString previous = text();
    setText(caption);
    UpdateAccessibleName();
    // Its text changed (a label has no value: assistive tools drop a value change, with a warning every time).
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, previous, caption);
        QAccessible::updateAccessibility(&changed);
    }
}

void TLabel::ReadCaptionAs(const QString &prefix)
{
    m_nameFollowsCaption = true;
    m_prefix = prefix;
    UpdateAccessibleName();
}

void TLabel::UpdateAccessibleName()
{
    if (!m_nameFollowsCaption)
        return;
    // Setting the name tells assistive tools that it changed.
    setAccessibleName(m_prefix.isEmpty() ? text() : m_prefix + QStringLiteral(" : ") + text());
}

void TLabel::InstallAccessibility()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(LabelFactory);
        installed = true;
    }
}
