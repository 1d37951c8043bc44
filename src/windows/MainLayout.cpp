#include "windows/MainLayout.h"

#include <array>
#include <type_traits>
#include <variant>

#include <QAbstractButton>
#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QShortcut>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
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
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/Fonts.h"
#include "platform/drawing/TDXDraw.h"
#include "windows/Announcement.h"
#include "windows/TMain.h"

namespace mainlayout {

namespace {

using Member = std::variant<TImage * TMain::*, TRxGIFAnimator * TMain::*, TLabel * TMain::*, TRxSpeedButton * TMain::*,
                            TShape * TMain::*, TDXDraw * TMain::*, TScroller * TMain::*, TBitBtn * TMain::*,
                            TEdit * TMain::*, TSpinEdit * TMain::*>;

// Painted controls lie under the windowed ones, which lie in the order of the rows; Tab goes through the tabbed
// ones in that order.
enum class Layer { Painted, Windowed, Tabbed };

constexpr std::uint32_t NoColour = 0xFFFFFFFF;
// The window's own text colour.
constexpr std::uint32_t WindowText = 0xFFFFFFFE;

// One control. Its numbers, by kind: a button's glyph size; a spin box's minimum, maximum, value, step and whether
// a value may be typed in; a scroller's minimum, maximum, position and step; a surface's width and height; an
// animation's first frame, whether it is centred and whether it takes its picture's size; a shape's colour.
struct Row {
    Member Control;
    const char *Name;
    QRect Geometry;
    std::array<int, 5> Numbers{};
    Layer Place = Layer::Painted;
    const char *HintText = nullptr;
    HintShown ShowHint = HintShown::No;
    // What assistive tools read: a label reads this before its caption, any other control reads this.
    const char *ReadText = nullptr;
    const char *CaptionText = nullptr;
    // The keys that do what a click does (or give a spin box the keys), written as QKeySequence reads them.
    const char *KeysText = nullptr;
    // An animation's file.
    const char *Asset = nullptr;
    const char *FontFamily = nullptr;
    int FontSize = 0;
    bool Bold = false;
    bool Italic = false;
    std::uint32_t Text = NoColour;
    std::uint32_t Background = NoColour;
    void (TMain::*Handler)() = nullptr;

    Row(Member control, const char *name, QRect geometry, std::array<int, 5> numbers = {}, Layer place = Layer::Painted)
        : Control(control), Name(name), Geometry(geometry), Numbers(numbers), Place(place)
    {
    }
    Row &Hint(const char *text, HintShown shown)
    {
        HintText = text;
        ShowHint = shown;
        return *this;
    }
    Row &ReadAs(const char *text)
    {
        ReadText = text;
        return *this;
    }
    Row &Keys(const char *keys)
    {
        KeysText = keys;
        return *this;
    }
    Row &Animation(const char *name)
    {
        Asset = name;
        return *this;
    }
    Row &Caption(const char *text)
    {
        CaptionText = text;
        return *this;
    }
    Row &Font(const char *family, int size, bool bold = false, bool italic = false)
    {
        FontFamily = family;
        FontSize = size;
        Bold = bold;
        Italic = italic;
        return *this;
    }
    Row &Colours(std::uint32_t text, std::uint32_t background = NoColour)
    {
        Text = text;
        Background = background;
        return *this;
    }
    Row &OnClick(void (TMain::*handler)())
    {
        Handler = handler;
        return *this;
    }
};

void SetTextColours(QWidget *control, std::uint32_t text, std::uint32_t background)
{
    QPalette palette = control->palette();
    if (text == WindowText)
        text = ToColourValue(control->parentWidget()->palette().color(QPalette::WindowText));
    palette.setColor(QPalette::WindowText, FromColourValue(text));
    palette.setColor(QPalette::Text, FromColourValue(text));
    if (background != NoColour)
        palette.setColor(QPalette::Base, FromColourValue(background));
    control->setPalette(palette);
}

// Each kind of control made from its row.
TImage *Make(TImage *, TMain &window, const Row &)
{
    auto *image = new TImage(&window);
    image->SetPicture(assets::Background());
    return image;
}

TRxGIFAnimator *Make(TRxGIFAnimator *, TMain &window, const Row &row)
{
    TRxGIFAnimator::Settings settings;
    settings.FrameIndex = row.Numbers[0];
    settings.Center = row.Numbers[1] != 0;
    settings.AutoSize = row.Numbers[2] != 0;
    return new TRxGIFAnimator(&window, settings);
}

TLabel *Make(TLabel *, TMain &window, const Row &)
{
    return new TLabel(&window);
}

void MakeDictationMenu(TMain &window);

TRxSpeedButton *Make(TRxSpeedButton *, TMain &window, const Row &row)
{
    // The menu it opens comes just before it.
    MakeDictationMenu(window);
    auto *button = new TRxSpeedButton(&window, row.Numbers[0], window.PopupMenu2);
    button->SetGlyph(assets::Glyph(QLatin1String(row.Name)));
    return button;
}

TShape *Make(TShape *, TMain &window, const Row &row)
{
    return new TShape(&window, static_cast<std::uint32_t>(row.Numbers[0]));
}

TDXDraw *Make(TDXDraw *, TMain &window, const Row &row)
{
    return new TDXDraw(&window, QSize(row.Numbers[0], row.Numbers[1]));
}

TScroller *Make(TScroller *, TMain &window, const Row &row)
{
    auto *scroller = new TScroller(&window, row.Numbers[0], row.Numbers[1], row.Numbers[2], row.Numbers[3]);
    scroller->OnClick = [&window, handler = row.Handler] { (window.*handler)(); };
    return scroller;
}

TBitBtn *Make(TBitBtn *, TMain &window, const Row &row)
{
    auto *button = new TBitBtn(&window, row.Numbers[0]);
    button->SetGlyph(assets::Glyph(QLatin1String(row.Name)));
    QObject::connect(button, &QPushButton::clicked, &window,
                     GuardedSlot(&window, [&window, handler = row.Handler] { (window.*handler)(); }));
    return button;
}

TEdit *Make(TEdit *, TMain &window, const Row &)
{
    return new TEdit(&window);
}

TSpinEdit *Make(TSpinEdit *, TMain &window, const Row &row)
{
    auto *spin =
        new TSpinEdit(&window, row.Numbers[0], row.Numbers[1], row.Numbers[2], row.Numbers[3], row.Numbers[4] != 0);
    QObject::connect(spin, &QSpinBox::valueChanged, &window,
                     GuardedSlot(&window, [&window, handler = row.Handler] { (window.*handler)(); }));
    return spin;
}

// The keys that stand for the mouse on a control: a button's shortcut (which assistive tools read as its key
// binding), the stepper's steps (Shift for the other way), a spin box's keys given to it. A hint shown says them.
template <typename Control>
void BindKeys(TMain &window, Control *control, const Row &row)
{
    const QKeySequence keys(QString::fromLatin1(row.KeysText));
    QString keysShown = keys.toString(QKeySequence::NativeText);
    if constexpr (std::is_base_of_v<QAbstractButton, Control>) {
        control->setShortcut(keys);
    } else if constexpr (std::is_same_v<Control, TScroller>) {
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, control,
                         [control] { control->Step(-1); });
        const QKeySequence back(QKeyCombination(keys[0].keyboardModifiers() | Qt::ShiftModifier, keys[0].key()));
        QObject::connect(new QShortcut(back, &window), &QShortcut::activated, control, [control] { control->Step(1); });
        keysShown += QStringLiteral(", ") + back.toString(QKeySequence::NativeText);
    } else {
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, control,
                         [control] { control->setFocus(Qt::ShortcutFocusReason); });
    }
    if (row.ShowHint == HintShown::Yes)
        control->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(row.HintText), keysShown));
    else
        control->setAccessibleDescription(keysShown);
}

void MakeControl(TMain &window, const Row &row)
{
    std::visit(
        [&](auto member) {
            using Control = std::remove_pointer_t<std::remove_reference_t<decltype(window.*member)>>;
            Control *control = Make(static_cast<Control *>(nullptr), window, row);
            window.*member = control;
            Identify(control, QLatin1String(row.Name), row.HintText ? QString::fromUtf8(row.HintText) : QString(),
                     row.ShowHint);
            control->setGeometry(row.Geometry);
            if constexpr (std::is_same_v<Control, TRxGIFAnimator>)
                control->SetAnimation(assets::Embedded(QLatin1String(row.Asset)));
            if (row.FontFamily)
                control->setFont(DesignFont(QLatin1String(row.FontFamily), row.FontSize, row.Bold, row.Italic));
            if (row.Text != NoColour)
                SetTextColours(control, row.Text, row.Background);
            if (row.KeysText)
                BindKeys(window, control, row);
            if constexpr (std::is_same_v<Control, TLabel>) {
                control->SetCaption(QString::fromUtf8(row.CaptionText));
                if (row.ReadText)
                    control->ReadCaptionAs(QString::fromUtf8(row.ReadText));
            } else if (row.ReadText) {
                control->setAccessibleName(QString::fromUtf8(row.ReadText));
            }
        },
        row.Control);
}

// The dictations' menu: the ten voice dictations, then hearing the last one again and opening one of the learner's.
void MakeDictationMenu(TMain &window)
{
    window.PopupMenu2 = new QMenu(&window);
    window.PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    const char *const dictationNames[] = {"Dictesnumro11", "Dictesnumro12", "Dictesnumro31", "Dictesnumro41",
                                          "Dictesnumro51", "Dictesnumro61", "Dictesnumro71", "Dictesnumro81",
                                          "Dictenumro91",  "Dictenumro101"};
    for (int i = 0; i < 10; ++i) {
        QAction *item =
            window.PopupMenu2->addAction(QStringLiteral("Dictée numéro %1").arg(i + 1, 2, 10, QLatin1Char('0')));
        item->setObjectName(QLatin1String(dictationNames[i]));
        item->setData(i);
        QObject::connect(item, &QAction::triggered, &window,
                         GuardedSlot(&window, [&window, i] { window.Dictesnumro11Click(i); }));
    }
    window.PopupMenu2->addSeparator();
    window.ReecouterDictee1 = window.PopupMenu2->addAction(QStringLiteral("Réécouter la dictée"));
    window.ReecouterDictee1->setObjectName(QStringLiteral("ReecouterDictee1"));
    window.ReecouterDictee1->setEnabled(false);
    QObject::connect(window.ReecouterDictee1, &QAction::triggered, &window,
                     GuardedSlot(&window, [&window] { window.ReecouterDicteeClick(); }));
    window.OuvrirDictee1 = window.PopupMenu2->addAction(QStringLiteral("Ouvrir une dictée..."));
    window.OuvrirDictee1->setObjectName(QStringLiteral("OuvrirDictee1"));
    QObject::connect(window.OuvrirDictee1, &QAction::triggered, &window,
                     GuardedSlot(&window, [&window] { window.OuvrirDicteeClick(); }));
    // Hearing again needs a recording: the last lesson start may have cleared it.
    QObject::connect(window.PopupMenu2, &QMenu::aboutToShow, &window,
                     [&window] { window.ReecouterDictee1->setEnabled(window.DXWaveList2.Count() > 0); });
}

constexpr const char *SansSerif = "MS Sans Serif";
constexpr const char *Arial = "Arial";

} // namespace

void Build(TMain &w)
{
    using T = TMain;
    constexpr HintShown Shown = HintShown::Yes;
    constexpr HintShown Hidden = HintShown::No;
    const Layer Windowed = Layer::Windowed;
    const Layer Tabbed = Layer::Tabbed;
    const Row rows[] = {
        Row(&T::Image1, "Image1", {0, 0, 800, 600}),
        Row(&T::RxGIFAnimator1, "RxGIFAnimator1", {311, 13, 178, 66}, {22, 1, 0})
            .Animation(assets::names::TitleAnimation)
            .ReadAs("Tapotis2002"),
        Row(&T::LabelChrono, "LabelChrono", {328, 554, 145, 20})
            .Font(Arial, 16, true, true)
            .Colours(colours::Lime)
            .Caption("0")
            .ReadAs("Chronomètre"),
        Row(&T::LabelCorrect, "LabelCorrect", {23, 330, 44, 18})
            .Font(Arial, 13, true)
            .Colours(colours::Black)
            .Caption("0")
            .ReadAs("Justes"),
        Row(&T::LabelErreur, "LabelErreur", {733, 330, 44, 18})
            .Font(Arial, 13, true)
            .Colours(colours::Black)
            .Caption("0")
            .ReadAs("Erreurs"),
        Row(&T::RxGIFAnimator2, "RxGIFAnimator2", {248, 40, 51, 45}, {1, 0, 1})
            .Animation(assets::names::HummingbirdAnimation),
        Row(&T::BoutonDicteesVocales, "BoutonDicteesVocales", {171, 551, 29, 29}, {22})
            .Hint("Dictées vocales", Hidden)
            .Keys("Alt+V"),
        Row(&T::LabelUser, "LabelUser", {312, 83, 177, 13})
            .Font(SansSerif, 11)
            .Colours(colours::Yellow)
            .Caption("Marie Durand")
            .Hint("Utilisateur", Shown)
            .ReadAs("Utilisateur"),
        Row(&T::Shape1, "Shape1", {312, 79, 177, 3}, {int(colours::LightGreen)}),
        Row(&T::PaintBoxKey, "PaintBoxKey", {84, 286, 632, 248}, {632, 248}, Windowed).ReadAs("Clavier"),
        Row(&T::Scroller1, "Scroller1", {102, 314, 23, 13}, {0, 255, 255, 51}, Windowed)
            .Hint("Opacité des mains", Hidden)
            .Keys("Alt+M")
            .OnClick(&T::Scroller1Click),
        Row(&T::BoutonFacile, "BoutonFacile", {21, 551, 28, 28}, {22}, Tabbed)
            .Hint("Entrainement", Shown)
            .Keys("Alt+E")
            .OnClick(&T::BoutonFacileClick),
        Row(&T::BoutonMoyen, "BoutonMoyen", {71, 551, 28, 28}, {22}, Tabbed)
            .Hint("Phrases", Shown)
            .Keys("Alt+H")
            .OnClick(&T::BoutonMoyenClick),
        Row(&T::BoutonDifficile, "BoutonDifficile", {121, 551, 28, 28}, {22}, Tabbed)
            .Hint("Texte défilant", Shown)
            .Keys("Alt+D")
            .OnClick(&T::BoutonDifficileClick),
        Row(&T::BoutonQuitter, "BoutonQuitter", {751, 551, 28, 28}, {22}, Tabbed)
            .Hint("Quitter l'application", Shown)
            .Keys("Alt+Q")
            .OnClick(&T::BoutonQuitterClick),
        Row(&T::BoutonAide, "BoutonAide", {701, 551, 28, 28}, {22}, Tabbed)
            .Hint("Aide de l'application", Shown)
            .Keys("F1")
            .OnClick(&T::BoutonAideClick),
        Row(&T::BoutonJeu, "BoutonJeu", {651, 551, 28, 28}, {24}, Tabbed)
            .Hint("Zid-Ediveza", Shown)
            .Keys("Alt+J")
            .OnClick(&T::BoutonJeuClick),
        Row(&T::BoutonSon, "BoutonSon", {601, 551, 28, 28}, {22}, Tabbed)
            .Hint("Activer/Désactiver le son", Shown)
            .Keys("Alt+S")
            .OnClick(&T::BoutonSonClick),
        Row(&T::EditText, "EditText", {48, 213, 703, 34}, {}, Tabbed)
            .Font("Palatino Linotype", 19)
            .Colours(colours::Purple, colours::Silver)
            .ReadAs("Zone de frappe"),
        Row(&T::SpinEdit1, "SpinEdit1", {664, 310, 33, 23}, {1, 7, 1, 1, 0}, Tabbed)
            .Hint("Vitesse du défilement", Shown)
            .Keys("Alt+F")
            .Font(Arial, 11, true)
            .Colours(colours::Black, colours::Silver)
            .OnClick(&T::SpinEdit1Change),
        Row(&T::DXPaintBoxTexte, "DXPaintBoxTexte", {48, 140, 705, 32}, {705, 33}, Windowed).ReadAs("Ligne à taper"),
        Row(&T::BoutonAuto, "BoutonAuto", {523, 310, 23, 22}, {18}, Tabbed)
            .Hint("Pause café...", Shown)
            .Keys("Alt+A")
            .OnClick(&T::BoutonAutoClick),
        Row(&T::SpinEdit2, "SpinEdit2", {594, 310, 57, 23}, {17100, 28100, 22050, 1000, 1}, Tabbed)
            .Hint("Vitesse de la voix en Hz", Shown)
            .Keys("Alt+X")
            .Font(Arial, 11, true)
            .Colours(WindowText, colours::Silver)
            .OnClick(&T::SpinEdit2Change),
        Row(&T::BoutonPrononcer, "BoutonPrononcer", {559, 310, 23, 21}, {20}, Tabbed)
            .Hint("Activer/Désactiver la prononciation des touches", Shown)
            .Keys("Alt+N")
            .OnClick(&T::BoutonPrononcerClick),
        Row(&T::BoutonParcours, "BoutonParcours", {221, 551, 28, 28}, {22})
            .Hint("Parcours", Shown)
            .Keys("Alt+P")
            .OnClick(&T::BoutonParcoursClick),
        Row(&T::BoutonTouches, "BoutonTouches", {271, 551, 28, 28}, {22})
            .Hint("Mes touches", Shown)
            .Keys("Alt+T")
            .OnClick(&T::BoutonTouchesClick),
        Row(&T::BoutonMonTexte, "BoutonMonTexte", {551, 551, 28, 28}, {22})
            .Hint("Mon texte", Shown)
            .Keys("Alt+O")
            .OnClick(&T::BoutonMonTexteClick),
        // Between the edit box and the keyboard, over nothing the learner needs while typing.
        Row(&T::LabelProgression, "LabelProgression", {48, 255, 705, 26})
            .Font(Arial, 12, true)
            .Colours(colours::Black)
            .ReadAs("Progression"),
    };
    for (const Row &row : rows)
        MakeControl(w, row);

    // The switches: the sound on, the pronunciation off. The edit box takes the focus only when clicked (the window
    // gives it back after every click); no right click opens a menu in it or in the scroll-speed box.
    w.BoutonSon->SetTag(1);
    w.BoutonSon->MakeSwitch();
    w.BoutonPrononcer->SetTag(0);
    w.BoutonPrononcer->MakeSwitch();
    w.EditText->setFocusPolicy(Qt::ClickFocus);
    w.EditText->setContextMenuPolicy(Qt::PreventContextMenu);
    w.SpinEdit1->setContextMenuPolicy(Qt::PreventContextMenu);
    w.EditText->OnKeyPress = [&w](char &key) { w.EditTextKeyPress(key); };

    for (const char *name : assets::names::HandPictures)
        w.DXImageList1.Add(QLatin1String(name), colours::White, assets::Bitmap(QLatin1String(name)));
    const QLatin1String keyboard(assets::names::KeyboardPicture);
    w.DXImageList1.Add(keyboard, colours::Black, assets::Bitmap(keyboard));
    for (const char *name : assets::names::Cues)
        w.DXWaveList1.Add(QLatin1String(name), assets::Wave(QLatin1String(name)));

    w.TimerChrono = new TTimer(&w);
    w.TimerChrono->setObjectName(QStringLiteral("TimerChrono"));
    w.TimerChrono->OnTimer = [&w] { w.TimerChronoTimer(); };
    w.Timer1 = new TDXTimer(&w);
    w.Timer1->setObjectName(QStringLiteral("Timer1"));
    w.Timer1->SetEnabled(true);
    w.Timer1->OnTimer = [&w](int lag) { w.Timer1Timer(lag); };
    w.Annonce = new Announcement(&w);
    w.LabelProgression->setAlignment(Qt::AlignCenter);
    w.LabelProgression->hide();
    w.PopupMenu1 = new QMenu(&w);
    w.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    w.setWindowIcon(QIcon(QPixmap::fromImage(assets::Icon())));

    QWidget *previous = nullptr;
    for (const Row &row : rows) {
        if (row.Place == Layer::Painted)
            continue;
        QWidget *control = w.findChild<QWidget *>(QLatin1String(row.Name), Qt::FindDirectChildrenOnly);
        control->raise();
        if (row.Place != Layer::Tabbed)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace mainlayout
