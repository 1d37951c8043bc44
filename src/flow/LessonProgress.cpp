#include "flow/LessonProgress.h"

#include <QStringList>

#include "lesson/TypingSession.h"

QString LessonProgress::Text() const
{
    QStringList parts;
    if (!Goal.Title.empty())
        parts << QString::fromStdString(Goal.Title);
    if (Lines > 1)
        parts << QStringLiteral("ligne %1 sur %2").arg(Line).arg(Lines);
    if (Paused) {
        parts << QStringLiteral("En pause") << QStringLiteral("appuyez sur F5 pour reprendre");
    } else if (!Timed) {
        if (Goal.Set())
            parts << QStringLiteral("objectif %1 car./min et %2 %").arg(Goal.Speed).arg(Goal.Success);
    } else {
        QString speed = QStringLiteral("%1 car./min").arg(RoundHalfEven(Speed));
        QString success = QStringLiteral("%1 %").arg(RoundHalfEven(Success));
        if (Goal.Set()) {
            speed += QStringLiteral(" (objectif %1)").arg(Goal.Speed);
            success += QStringLiteral(" (objectif %1 %)").arg(Goal.Success);
        }
        parts << speed << success;
    }
    return parts.join(QStringLiteral(" — "));
}
