#pragma once

#include <functional>
#include <string>

#include <QDialog>

#include "learner/OwnTexts.h"

class Learner;
class QLabel;
class QListWidget;
class QPushButton;

// The window "Mon texte - Tapotis2002": the texts the learner brought (title, length, how far they got), a text file
// imported or the clipboard's text pasted (kept as some keyboard types it; what that changed and what the learner's
// keyboard will replace at each session are told in one sentence), a text removed once confirmed, and the session
// chosen with "Commencer". Everything is reached by its Alt key, the list by the arrows; Return starts, Escape
// closes.
//
// Kept true: the list shows the learner's texts as they stand on the disk; nothing is added or removed without the
// learner being told.
class TMonTexte : public QDialog
{
    Q_OBJECT
public:
    // `kept` says whether some keyboard gives a character, `typeable` whether the learner's keyboard does.
    TMonTexte(QWidget *main, Learner &learner, std::function<bool(char32_t)> kept,
              std::function<bool(char32_t)> typeable);

    // The text chosen with "Commencer" (its file's name), empty when the window was closed without one.
    const std::string &Chosen() const { return m_chosen; }

    // Adds the bytes of a file or of the clipboard to the learner's texts, kept as some keyboard types them, saying
    // what was changed and what the learner's keyboard will replace; `fileName` names the file (empty for pasted
    // text). Throws the French text when nothing can be added, or the learner's keyboard types none of it.
    void Import(const std::string &bytes, const std::string &fileName);
    void ImportFile();
    void Paste();
    void Start();
    void RemoveSelected();

    // A text as the list shows it: "Le Petit Prince — 12 345 caractères — ligne 57 sur 230 (24 %)".
    static QString Describe(const OwnTexts::Entry &entry);

    // The largest text taken from a file or the clipboard.
    static constexpr std::size_t TextLimit = std::size_t(1) << 20;

    QLabel *LabelTextes = nullptr;
    QListWidget *ListeTextes = nullptr;
    QLabel *LabelConseil = nullptr;
    QPushButton *BoutonImporter = nullptr;
    QPushButton *BoutonColler = nullptr;
    QPushButton *BoutonCommencer = nullptr;
    QPushButton *BoutonSupprimer = nullptr;
    QPushButton *BoutonFermer = nullptr;

private:
    // Shows the learner's texts, `selected` current (the first when it is not there).
    void Fill(const std::string &selected);
    std::string Selected() const;

    Learner &m_learner;
    std::function<bool(char32_t)> m_kept;
    std::function<bool(char32_t)> m_typeable;
    std::string m_chosen;
};
