#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/dialogs/Dialogs.h"

namespace {

QPushButton *ButtonReading(QWidget *dialog, const QString &text)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Acts on the modal dialog once it is up.
void WhenUp(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

} // namespace

TEST(Dialogs, PromptGivesTheTypedTextOnOkAndNothingOnCancel)
{
    WhenUp([](QWidget *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Nom de l'utilisateur"));
        EXPECT_NE(dialog->findChild<QLabel *>()->text().indexOf(QStringLiteral("(A..Z)")), -1);
        auto *field = dialog->findChild<QLineEdit *>();
        EXPECT_EQ(field->maxLength(), 255);
        EXPECT_TRUE(field->text().isEmpty());
        QTest::keyClicks(field, QStringLiteral("Marie Curie"));
        ASSERT_NE(ButtonReading(dialog, QStringLiteral("Annuler")), nullptr);
        QPushButton *ok = ButtonReading(dialog, QStringLiteral("OK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs::InputQuery(QStringLiteral("Nom de l'utilisateur"),
                                  QStringLiteral("Entrez votre nom et prénom (A..Z)"), 255),
              std::optional<QString>(QStringLiteral("Marie Curie")));

    WhenUp([](QWidget *dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit *>(), QStringLiteral("Marie"));
        QTest::mouseClick(ButtonReading(dialog, QStringLiteral("Annuler")), Qt::LeftButton);
    });
    EXPECT_EQ(dialogs::InputQuery(QStringLiteral("Nom"), QStringLiteral("Nom ?"), 255), std::nullopt);

    WhenUp([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialogs::InputQuery(QStringLiteral("Nom"), QStringLiteral("Nom ?"), 255), std::nullopt);
}

TEST(Dialogs, MessageShowsItsTitleTextIconAndOneOkButton)
{
    WhenUp([](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Avertissement"));
        EXPECT_EQ(box->text(), QStringLiteral("Nom incorrect"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->buttons().size(), 1);
        QTest::mouseClick(ButtonReading(box, QStringLiteral("OK")), Qt::LeftButton);
    });
    dialogs::Message(QStringLiteral("Avertissement"), QStringLiteral("Nom incorrect"), dialogs::Icon::Warning);
}
