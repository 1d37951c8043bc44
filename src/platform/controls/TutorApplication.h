#pragma once

#include <QApplication>

// The application object. A failure that escapes an event handler ends at notify(): it is shown in the standard
// error box and the program goes on.
class TutorApplication : public QApplication
{
    Q_OBJECT
public:
    TutorApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Qt's own French texts for standard dialogs and buttons.
    void LoadFrenchTranslations();
};
