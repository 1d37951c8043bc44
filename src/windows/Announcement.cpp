#include "windows/Announcement.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>

namespace {

QAccessibleInterface *NotificationOf(const QString &className, QObject *object)
{
    if (className == QLatin1String("Announcement") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

Announcement::Announcement(QWidget *window) : QWidget(window)
{
    static const bool installed = [] {
        QAccessible::installFactory(NotificationOf);
        return true;
    }();
    (void)installed;
    setObjectName(QStringLiteral("Annonce"));
    setGeometry(0, 0, 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    lower();
    hide();
}

void Announcement::Say(const QString &text)
{
    setAccessibleName(text);
    // Showing again is what assistive tools hear.
    hide();
    if (!text.isEmpty())
        show();
}

void ReadCurrentItemOnceShown(QAbstractItemView *list)
{
    // After the list's own focus event, which a screen reader reads last otherwise: the first time the list takes
    // the keys, once that event has gone out.
    class OnFirstFocus : public QObject
    {
    public:
        explicit OnFirstFocus(QAbstractItemView *list) : QObject(list), m_list(list) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::FocusIn) {
                QTimer::singleShot(0, m_list, [list = QPointer<QAbstractItemView>(m_list)] {
                    if (!list || !list->hasFocus() || !list->currentIndex().isValid())
                        return;
                    QAccessibleEvent focus(list, QAccessible::Focus);
                    focus.setChild(list->currentIndex().row());
                    QAccessible::updateAccessibility(&focus);
                });
                deleteLater();
            }
            return false;
        }

    private:
        QAbstractItemView *m_list;
    };
    if (list->hasFocus())
        list->clearFocus();
    list->installEventFilter(new OnFirstFocus(list));
    list->setFocus(Qt::OtherFocusReason);
}
