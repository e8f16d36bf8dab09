#pragma once

#include "store/NamedList.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>

class TWord;

// What the layer host needs from the word card (the small window that shows the words a
// pointed-at text may stand for). The card itself lives with the dialogs; the host only
// talks to it through this seam.
class TWordCardView
{
public:
    virtual ~TWordCardView() = default;

    virtual QSize CardSize() const = 0;
    // The card takes the words; index selects the first one shown.
    virtual void SetWords(TNamedList<TWord> words, int index) = 0;
    virtual void ResetState() = 0;
    virtual void SetCardColor(quint32 bgr) = 0;
    virtual void SetReadingNote(int value) = 0;
    virtual void SetNoteHint(const QString &hint) = 0;
    // Moves the card to topLeft (screen) and shows it without activating it.
    virtual void ShowAt(const QPoint &topLeft) = 0;
    virtual void CloseCard() = 0;
    // The word shown, or none.
    virtual TWord *CurrentWord() const = 0;

    // Set by the host: a card button was pressed (1 word status, 2 examples,
    // 3 dictionary, 6 spelling drill, 4 sound, 5 reading note).
    std::function<void(int tag)> OnButton;
};
