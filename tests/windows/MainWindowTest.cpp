#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "MainFixture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/controls/TRxSpeedButton.h"
#include "platform/controls/TScroller.h"
#include "platform/controls/TShape.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TTimer.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/TDXDraw.h"
#include "windows/Announcement.h"

using MainWindow = MainFixture;

namespace {

struct ControlRow {
    const char *name;
    QRect geometry;
    const char *hint;
    bool hintShown;
    bool handCursor;
    // What a screen reader says for it: the words the learner reads there.
    const char *reads;
};

// The layout, as the window's design gives it.
const ControlRow kControls[] = {
    {"Image1", {0, 0, 800, 600}, "", false, false, ""},
    {"RxGIFAnimator1", {311, 13, 178, 66}, "", false, false, "Tapotis2002"},
    {"LabelChrono", {328, 554, 145, 20}, "", false, false, "Chronomètre : 0"},
    {"LabelCorrect", {23, 330, 44, 18}, "", false, false, "Justes : 0"},
    {"LabelErreur", {733, 330, 44, 18}, "", false, false, "Erreurs : 0"},
    {"RxGIFAnimator2", {248, 40, 51, 45}, "", false, false, ""},
    {"BoutonDicteesVocales", {171, 551, 29, 29}, "Dictées vocales", false, true, "Dictées vocales"},
    {"LabelUser", {312, 83, 177, 13}, "Utilisateur", true, false, "Utilisateur : Testeur"},
    {"Shape1", {312, 79, 177, 3}, "", false, false, ""},
    {"PaintBoxKey", {84, 286, 632, 248}, "", false, false, "Clavier"},
    {"Scroller1", {102, 314, 23, 13}, "Opacité des mains", false, true, "Opacité des mains"},
    {"BoutonFacile", {21, 551, 28, 28}, "Entrainement", true, true, "Entrainement"},
    {"BoutonMoyen", {71, 551, 28, 28}, "Phrases", true, true, "Phrases"},
    {"BoutonDifficile", {121, 551, 28, 28}, "Texte défilant", true, true, "Texte défilant"},
    {"BoutonQuitter", {751, 551, 28, 28}, "Quitter l'application", true, true, "Quitter l'application"},
    {"BoutonAide", {701, 551, 28, 28}, "Aide de l'application", true, true, "Aide de l'application"},
    {"BoutonJeu", {651, 551, 28, 28}, "Zid-Ediveza", true, true, "Zid-Ediveza"},
    {"BoutonSon", {601, 551, 28, 28}, "Activer/Désactiver le son", true, true, "Activer/Désactiver le son"},
    {"EditText", {48, 213, 703, 34}, "", false, false, "Zone de frappe"},
    {"SpinEdit1", {664, 310, 33, 23}, "Vitesse du défilement", true, true, "Vitesse du défilement"},
    {"DXPaintBoxTexte", {48, 140, 705, 32}, "", false, false, "Ligne à taper"},
    {"BoutonAuto", {523, 310, 23, 22}, "Pause café...", true, true, "Pause café..."},
    {"SpinEdit2", {594, 310, 57, 23}, "Vitesse de la voix en Hz", true, true, "Vitesse de la voix en Hz"},
    {"BoutonPrononcer",
     {559, 310, 23, 21},
     "Activer/Désactiver la prononciation des touches",
     true,
     true,
     "Activer/Désactiver la prononciation des touches"},
    {"BoutonMonTexte", {551, 551, 28, 28}, "Mon texte", true, true, "Mon texte"},
};

// The keys that stand for the mouse on each control, as its hint shows them.
const struct {
    const char *name;
    const char *keys;
} kKeys[] = {
    {"BoutonDicteesVocales", "Alt+V"},
    {"Scroller1", "Alt+M"},
    {"BoutonFacile", "Alt+E"},
    {"BoutonMoyen", "Alt+H"},
    {"BoutonDifficile", "Alt+D"},
    {"BoutonQuitter", "Alt+Q"},
    {"BoutonAide", "F1"},
    {"BoutonJeu", "Alt+J"},
    {"BoutonSon", "Alt+S"},
    {"SpinEdit1", "Alt+F"},
    {"BoutonAuto", "Alt+A"},
    {"SpinEdit2", "Alt+X"},
    {"BoutonPrononcer", "Alt+N"},
    {"BoutonParcours", "Alt+P"},
    {"BoutonTouches", "Alt+T"},
    {"BoutonMonTexte", "Alt+O"},
};

QString KeysOf(const QString &name)
{
    for (const auto &row : kKeys)
        if (name == QLatin1String(row.name))
            return QLatin1String(row.keys);
    return QString();
}

} // namespace

TEST_F(MainWindow, EveryControlStandsWhereTheLayoutPutsIt)
{
    TMain &m = Main();
    EXPECT_EQ(m.size(), QSize(800, 600));
    EXPECT_TRUE(m.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(m.windowTitle(), QStringLiteral("Tapotis2002"));
    for (const ControlRow &row : kControls) {
        const QString name = QString::fromUtf8(row.name);
        auto *control = m.findChild<QWidget *>(name);
        ASSERT_NE(control, nullptr) << row.name;
        EXPECT_EQ(control->geometry(), row.geometry) << row.name;
        EXPECT_EQ(control->accessibleName(), QString::fromUtf8(row.reads)) << row.name;
        EXPECT_EQ(control->property("hint").toString(), QString::fromUtf8(row.hint)) << row.name;
        const QString keys = KeysOf(name);
        const QString tip =
            QString::fromUtf8(row.hint) + (keys.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(keys));
        EXPECT_EQ(control->toolTip(), row.hintShown ? tip : QString()) << row.name;
        if (row.handCursor) {
            EXPECT_EQ(control->cursor().shape(), Qt::PointingHandCursor) << row.name;
        }
    }
}

TEST_F(MainWindow, WindowedControlsLieAboveThePaintedOnes)
{
    TMain &m = Main();
    const QObjectList &children = m.children();
    auto stackIndex = [&](const QWidget *w) { return children.indexOf(const_cast<QWidget *>(w)); };
    EXPECT_LT(stackIndex(m.Image1), stackIndex(m.LabelChrono));
    EXPECT_LT(stackIndex(m.PaintBoxKey), stackIndex(m.Scroller1));
    for (const QWidget *painted : {static_cast<QWidget *>(m.LabelCorrect), static_cast<QWidget *>(m.Shape1),
                                   static_cast<QWidget *>(m.BoutonDicteesVocales)})
        EXPECT_LT(stackIndex(painted), stackIndex(m.PaintBoxKey));
    // The stepper and the small buttons over the keyboard are visible, not hidden under it.
    for (const QWidget *over : {static_cast<QWidget *>(m.Scroller1), static_cast<QWidget *>(m.BoutonAuto),
                                static_cast<QWidget *>(m.SpinEdit2)}) {
        const QWidget *hit = m.childAt(over->geometry().center());
        EXPECT_TRUE(hit == over || over->isAncestorOf(hit)) << over->objectName().toStdString();
    }
}

TEST_F(MainWindow, StartingValues)
{
    TMain &m = Main();
    for (const TLabel *label : {m.LabelChrono, m.LabelCorrect, m.LabelErreur})
        EXPECT_EQ(Shown(label), QStringLiteral("0"));
    EXPECT_EQ(BoxText(), QString());
    EXPECT_EQ(m.BoutonSon->Tag(), 1);
    EXPECT_EQ(m.BoutonPrononcer->Tag(), 0);
    EXPECT_EQ(m.Scroller1->Position(), 255);
    EXPECT_EQ(m.HandOpacity, 255);
    EXPECT_EQ(m.SpinEdit1->value(), 1);
    EXPECT_EQ(m.SpinEdit2->value(), 22050);
    EXPECT_EQ(m.TimerChrono->Interval(), 0);
    EXPECT_FALSE(m.Timer1->Enabled());
    EXPECT_EQ(m.DXWaveList2.Count(), 0);
    EXPECT_EQ(m.DXWaveList1.Count(), 3);
    EXPECT_EQ(m.DXWaveList3.Count(), 0) << "the key names are read when pronunciation is first switched on";
    EXPECT_EQ(m.DXImageList1.Count(), 13);
    EXPECT_EQ(m.DXImageList1.Items(12).Name, QStringLiteral("Tapotis.bmp"));
    EXPECT_EQ(m.DXImageList1.Items(12).TransparentColor, colours::Black);
    EXPECT_EQ(m.DXImageList1.Items(0).TransparentColor, colours::White);
    EXPECT_EQ(m.ProgramFolder(), Folder());
    EXPECT_EQ(m.PaintBoxKey->SurfaceSize(), QSize(632, 248));
    EXPECT_EQ(m.DXPaintBoxTexte->SurfaceSize(), QSize(705, 33));
    EXPECT_EQ(m.OpenDialog1.QtFilter(), QStringLiteral("Dictées vocales Tapotis2002 (*.txt)"));
    EXPECT_EQ(m.DXPaintBoxTexte->Shown().pixel(10, 10), qRgb(0, 0, 0));
}

TEST_F(MainWindow, FontsAndColoursOfTheTexts)
{
    TMain &m = Main();
    struct Row {
        const QWidget *control;
        const char *family;
        int pixels;
        bool bold;
        bool italic;
        std::uint32_t colour;
    };
    const Row rows[] = {
        {m.LabelChrono, "Arial", 16, true, true, colours::Lime},
        {m.LabelCorrect, "Arial", 13, true, false, colours::Black},
        {m.LabelErreur, "Arial", 13, true, false, colours::Black},
        {m.LabelUser, "MS Sans Serif", 11, false, false, colours::Yellow},
        {m.EditText, "Palatino Linotype", 19, false, false, colours::Purple},
        {m.SpinEdit1, "Arial", 11, true, false, colours::Black},
    };
    for (const Row &row : rows) {
        const QFont font = row.control->font();
        const std::string name = row.control->objectName().toStdString();
        EXPECT_EQ(font.family(), QString::fromUtf8(row.family)) << name;
        EXPECT_EQ(font.pixelSize(), row.pixels) << name;
        EXPECT_EQ(font.bold(), row.bold) << name;
        EXPECT_EQ(font.italic(), row.italic) << name;
        const QPalette::ColorRole role =
            qobject_cast<const QLabel *>(row.control) ? QPalette::WindowText : QPalette::Text;
        EXPECT_EQ(ToColourValue(row.control->palette().color(role)), row.colour) << name;
    }
    EXPECT_EQ(ToColourValue(m.EditText->palette().color(QPalette::Base)), colours::Silver);
    // The substitutes exist on this machine, so the texts look as designed.
    EXPECT_EQ(QFontInfo(m.LabelChrono->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(QFontInfo(m.EditText->font()).family().startsWith(QStringLiteral("P052")));
}

TEST_F(MainWindow, DictationMenuHasItsTenItems)
{
    TMain &m = Main();
    const QList<QAction *> items = m.PopupMenu2->actions();
    // The ten dictations, then, apart, hearing the dictation again and opening one of the learner's own.
    ASSERT_EQ(items.size(), 13);
    EXPECT_TRUE(items[10]->isSeparator());
    EXPECT_EQ(items[11]->text(), QStringLiteral("Réécouter la dictée"));
    EXPECT_EQ(items[12]->text(), QStringLiteral("Ouvrir une dictée..."));
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("Dictesnumro11"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("Dictée numéro 01"));
    EXPECT_EQ(items[9]->objectName(), QStringLiteral("Dictenumro101"));
    EXPECT_EQ(items[9]->text(), QStringLiteral("Dictée numéro 10"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(items[i]->data().toInt(), i);
    EXPECT_EQ(m.BoutonDicteesVocales->menu(), m.PopupMenu2);
    EXPECT_TRUE(m.PopupMenu1->actions().isEmpty());
}

TEST_F(MainWindow, TabNeverMovesTheFocus)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    ASSERT_TRUE(m.EditText->hasFocus());
    QTest::keyClick(m.EditText, Qt::Key_Tab);
    EXPECT_TRUE(m.EditText->hasFocus());
    // Its character still reaches the typing: a wrong key.
    EXPECT_EQ(m.Session().ErrorCount, 1);

    m.BoutonMoyen->setFocus();
    QTest::keyClick(m.BoutonMoyen, Qt::Key_Tab);
    EXPECT_TRUE(m.BoutonMoyen->hasFocus());

    std::uint16_t key = 9;
    m.FormKeyDown(key, Qt::NoModifier);
    EXPECT_EQ(key, 0);
    for (std::uint16_t other : {8, 13, 27, 65, 32}) {
        key = other;
        m.FormKeyDown(key, Qt::ShiftModifier);
        EXPECT_EQ(key, other);
    }
}

TEST_F(MainWindow, NothingIsPastedIntoTheEditBox)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"), QClipboard::Selection);

    QTest::keyClick(m.EditText, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m.EditText, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(m.EditText, Qt::MiddleButton);
    EXPECT_EQ(BoxText(), QString());
    EXPECT_EQ(m.Session().Cursor, 1);
    // Ctrl+V is the control character 22: a wrong key. Shift+Insert and the middle button are no characters.
    EXPECT_EQ(m.Session().ErrorCount, 1);

    EXPECT_FALSE(m.EditText->acceptDrops());
    EXPECT_EQ(m.EditText->contextMenuPolicy(), Qt::PreventContextMenu);
}

TEST_F(MainWindow, AcceptedCharactersAlwaysGoToTheEnd)
{
    WriteLesson(1, "abcd\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("ab"));
    QTest::keyClick(m.EditText, Qt::Key_Home);
    QTest::keyClick(m.EditText, Qt::Key_Delete);
    m.EditText->selectAll();
    Type(QStringLiteral("c"));
    EXPECT_EQ(BoxText(), QStringLiteral("abc"));
    EXPECT_EQ(m.Session().ErrorCount, 0);
}

TEST_F(MainWindow, ScrollSpeedCannotBeTypedButVoiceSpeedCan)
{
    TMain &m = Main();
    EXPECT_FALSE(m.SpinEdit1->EditorEnabled());
    m.SpinEdit1->setFocus();
    QTest::keyClicks(m.SpinEdit1, QStringLiteral("5"));
    EXPECT_EQ(m.SpinEdit1->value(), 1);
    m.SpinEdit1->stepUp();
    EXPECT_EQ(m.SpinEdit1->value(), 2);
    for (int i = 0; i < 10; ++i)
        m.SpinEdit1->stepUp();
    EXPECT_EQ(m.SpinEdit1->value(), 7);

    m.SpinEdit2->stepUp();
    EXPECT_EQ(m.SpinEdit2->value(), 23050);
    for (int i = 0; i < 10; ++i)
        m.SpinEdit2->stepUp();
    EXPECT_EQ(m.SpinEdit2->value(), 28100);
    for (int i = 0; i < 20; ++i)
        m.SpinEdit2->stepDown();
    EXPECT_EQ(m.SpinEdit2->value(), 17100);
}

TEST_F(MainWindow, OpacityStepperTakesSixPositions)
{
    TMain &m = Main();
    const QPoint left(3, 6);
    const QPoint right(m.Scroller1->width() - 3, 6);
    QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, right);
    EXPECT_EQ(m.HandOpacity, 255);
    for (int expected : {204, 153, 102, 51, 0, 0}) {
        QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, left);
        EXPECT_EQ(m.Scroller1->Position(), expected);
        EXPECT_EQ(m.HandOpacity, expected);
    }
    QTest::mouseClick(m.Scroller1, Qt::LeftButton, {}, right);
    EXPECT_EQ(m.HandOpacity, 51);
}

TEST_F(MainWindow, HelpButtonMinimisesAndShowsTheHelp)
{
    QFile help(Folder() + QStringLiteral("AIDE.HLP"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write("<html><body><h1>Rubriques d'aide</h1></body></html>");
    help.close();
    TMain &m = Main();
    QTest::mouseClick(m.BoutonAide, Qt::LeftButton);
    EXPECT_TRUE(m.isMinimized());
    QWidget *viewer = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("HelpViewer") && w->isVisible())
            viewer = w;
    }
    ASSERT_NE(viewer, nullptr);
    viewer->close();
    // The last help window gone, the learner is back at the lesson, ready to type.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m.isMinimized() && m.isActiveWindow(); }, 2000));
    EXPECT_TRUE(m.EditText->hasFocus());
}

TEST_F(MainWindow, TextLineShowsTheLessonInYellowThenTheTypedPartInRed)
{
    WriteLesson(1, "Bonjour\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    auto countColour = [&](QRgb colour) {
        const QImage &shown = m.DXPaintBoxTexte->Shown();
        int n = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                n += shown.pixel(x, y) == colour;
        return n;
    };
    EXPECT_GT(countColour(qRgb(255, 255, 0)), 50);
    EXPECT_EQ(countColour(qRgb(255, 0, 0)), 0);
    Type(QStringLiteral("Bonjour"));
    EXPECT_EQ(countColour(qRgb(255, 255, 0)), 0);
    EXPECT_GT(countColour(qRgb(255, 0, 0)), 50);
}

TEST_F(MainWindow, MissingHelpIsReportedByTheViewer)
{
    TMain &m = Main();
    Messages.clear();
    QTest::mouseClick(m.BoutonAide, Qt::LeftButton);
    EXPECT_EQ(Messages,
              QStringList{QStringLiteral("Aide: Impossible d'ouvrir le fichier d'aide %1AIDE.HLP.").arg(Folder())});
    EXPECT_FALSE(m.isMinimized()) << "no help window opened: the window comes back at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.EditText->hasFocus(); }, 2000));
}

TEST_F(MainWindow, KeyTypedDuringAWaitIsHandledBeforeTheWaitReturns)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    QCoreApplication::postEvent(m.EditText,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
    m.WaitMilliseconds(0);
    EXPECT_EQ(m.Session().CorrectCount, 1);
    EXPECT_EQ(BoxText(), QStringLiteral("a"));
}

TEST_F(MainWindow, QuitDuringAWaitEndsTheProgramOnlyAfterTheHandler)
{
    TMain &m = Main();
    QStringList order;
    QTimer::singleShot(0, &m, [&] {
        QTimer::singleShot(20, &m, [&] {
            m.BoutonQuitterClick();
            order << QStringLiteral("quit asked");
        });
        m.WaitMilliseconds(80);
        order << QStringLiteral("wait over");
    });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(order, (QStringList{QStringLiteral("quit asked"), QStringLiteral("wait over")}));
}

TEST_F(MainWindow, ProgramFolderIsTheExecutablesFolder)
{
    TMain main;
    EXPECT_EQ(main.ProgramFolder(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

TEST_F(MainWindow, TitleAndHummingbirdAnimateFromTheirDesignFrames)
{
    // Before the window shows, both wait on their design frame.
    TMain hidden(Folder());
    EXPECT_EQ(hidden.RxGIFAnimator1->FrameIndex(), 22);
    EXPECT_EQ(hidden.RxGIFAnimator2->FrameIndex(), 1);
    EXPECT_FALSE(hidden.RxGIFAnimator1->Animating());

    TMain &m = Main();
    EXPECT_TRUE(m.RxGIFAnimator1->Animating());
    EXPECT_TRUE(m.RxGIFAnimator2->Animating());
    const int title = m.RxGIFAnimator1->FrameIndex();
    const int bird = m.RxGIFAnimator2->FrameIndex();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.RxGIFAnimator1->FrameIndex() != title; }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.RxGIFAnimator2->FrameIndex() != bird; }, 1000));
}

TEST_F(MainWindow, AfterAnyClickTheKeysGoToTheEditBox)
{
    WriteLesson(1, "ab\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    // Clicks that change nothing and run no handler: a spin box arrow at its limit, the stepper at its end.
    struct Click {
        QWidget *control;
        QPoint at;
    };
    const Click clicks[] = {
        {m.SpinEdit1, QPoint(m.SpinEdit1->width() - 4, m.SpinEdit1->height() - 4)},
        {m.Scroller1, QPoint(m.Scroller1->width() - 3, 6)},
        {m.SpinEdit2, QPoint(m.SpinEdit2->width() - 4, 4)},
    };
    for (const Click &click : clicks) {
        QTest::mouseClick(click.control, Qt::LeftButton, {}, click.at);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m.EditText->hasFocus(); }, 1000))
            << click.control->objectName().toStdString();
    }
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a"));
    EXPECT_EQ(BoxText(), QStringLiteral("a"));
    EXPECT_EQ(m.SpinEdit1->value(), 1);
}

TEST_F(MainWindow, AScreenReaderReadsWhatTheLearnerReads)
{
    WriteLesson(1, "ab\r\n");
    TMain &m = Main();
    auto name = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(name(&m), QStringLiteral("Tapotis2002"));
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    // What happens is said as a notification, whatever has the keys: the line to type, then the lesson's end.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(m.Annonce)->role(), QAccessible::Notification);
    EXPECT_TRUE(m.Annonce->isVisible());
    EXPECT_EQ(name(m.Annonce), QStringLiteral("À taper : ab"));
    Type(QStringLiteral("ax"));
    EXPECT_EQ(name(m.LabelCorrect), QStringLiteral("Justes : 1"));
    EXPECT_EQ(name(m.LabelErreur), QStringLiteral("Erreurs : 1"));
    EXPECT_EQ(name(m.LabelChrono), QStringLiteral("Chronomètre : ") + Shown(m.LabelChrono));
    EXPECT_EQ(name(m.LabelUser), QStringLiteral("Utilisateur : Testeur"));
    EXPECT_EQ(name(m.SpinEdit2), QStringLiteral("Vitesse de la voix en Hz"));
    EXPECT_EQ(m.SpinEdit2->findChild<QLineEdit *>()->cursor().shape(), Qt::PointingHandCursor);

    // The switches say whether they are on, and look pressed while they are.
    QAccessibleInterface *sound = QAccessible::queryAccessibleInterface(m.BoutonSon);
    EXPECT_TRUE(sound->state().checkable);
    EXPECT_TRUE(sound->state().checked);
    EXPECT_TRUE(m.BoutonSon->isChecked());
    QTest::mouseClick(m.BoutonSon, Qt::LeftButton);
    EXPECT_EQ(m.BoutonSon->Tag(), 0);
    EXPECT_FALSE(sound->state().checked);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(m.BoutonPrononcer)->state().checked);

    // The statistics window's texts are read as they are written.
    m.Statistiques().ShowResult(180.0L, 87.5L);
    EXPECT_EQ(name(m.Statistiques().LabelVitesse), QStringLiteral("Nombre de caractere par minute : 180"));
    EXPECT_EQ(name(m.Statistiques().LabelPF), QStringLiteral("Pourcentage de réussite : 88%"));

    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("ab"));
    EXPECT_TRUE(name(m.Annonce).startsWith(QStringLiteral("Leçon terminée : "))) << name(m.Annonce).toStdString();
    EXPECT_TRUE(name(m.Annonce).endsWith(QStringLiteral(" caractères par minute, 100 % de réussite.")));
}

// Every button and box answers its keys as it answers the mouse; a button's keys are read as its key binding, and a
// box reached by its keys gives them back to the edit box on Escape.
TEST_F(MainWindow, EveryButtonAndBoxHasItsKeys)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    for (const auto &row : kKeys) {
        auto *button = m.findChild<QAbstractButton *>(QLatin1String(row.name));
        if (!button)
            continue;
        EXPECT_EQ(button->shortcut(), QKeySequence(QLatin1String(row.keys))) << row.name;
        QAccessibleInterface *read = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(read->actionInterface(), nullptr) << row.name;
        EXPECT_EQ(read->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                  QStringList{QLatin1String(row.keys)})
            << row.name;
    }

    QTest::keyClick(m.EditText, Qt::Key_E, Qt::AltModifier);
    QTest::qWait(200);
    EXPECT_EQ(m.Session().TargetText, "abc") << "Alt+E starts the training";
    EXPECT_EQ(BoxText(), QString()) << "and types nothing";
    QTest::keyClick(m.EditText, Qt::Key_S, Qt::AltModifier);
    QTest::qWait(200);
    EXPECT_EQ(m.BoutonSon->Tag(), 0) << "Alt+S switches the sound off";
    QTest::keyClick(m.EditText, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(m.HandOpacity, 204) << "Alt+M: the hands a step fainter";
    QTest::keyClick(m.EditText, Qt::Key_M, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(m.HandOpacity, 255) << "and Shift+Alt+M back";
    QTest::keyClick(m.EditText, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(m.SpinEdit1->hasFocus());
    QTest::keyClick(m.SpinEdit1, Qt::Key_Up);
    EXPECT_EQ(m.SpinEdit1->value(), 2);
    QTest::keyClick(m.SpinEdit1, Qt::Key_Escape);
    EXPECT_TRUE(m.EditText->hasFocus());
    QTest::keyClicks(m.EditText, QStringLiteral("ab"));
    EXPECT_EQ(m.Session().ErrorCount, 0) << "no key of these was judged";

    // Alt+V drops the dictations' menu down, which the arrows and Escape work.
    bool dropped = false;
    QTimer::singleShot(300, &m, [&] {
        dropped = m.PopupMenu2->isVisible();
        QTest::keyClick(m.PopupMenu2, Qt::Key_Escape);
    });
    QTest::keyClick(m.EditText, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY(!m.PopupMenu2->isVisible());
    EXPECT_TRUE(dropped);
}
