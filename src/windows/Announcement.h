#pragma once

#include <QString>
#include <QWidget>

class QAbstractItemView;

// What happens said to a screen reader user without moving the keys: a notification that assistive tools read as it
// shows, whatever has the focus. It lies under every other control of its window, out of sight. (A change of the
// focused control's name or description reaches the reader's speech as the object, not the words, with the toolkit
// this runs on: it is not heard.)
class Announcement : public QWidget
{
    Q_OBJECT
public:
    explicit Announcement(QWidget *window);

    // Says `text` now; the last one said stays its accessible name.
    void Say(const QString &text);
};

// A list that has the keys when its window opens: a screen reader hears its current item too, not only the list.
void ReadCurrentItemOnceShown(QAbstractItemView *list);
