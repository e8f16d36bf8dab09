#pragma once

#include "modes/WordCardView.h"

#include <memory>

class TfrmShowWord;

// The word card dialog behind the host's word-card seam. The card is made on first use;
// its buttons report the host's button numbers (1 word status, 2 examples, 3 dictionary,
// 4 sound, 5 reading note, 6 spelling drill).
class TWordCardAdapter : public TWordCardView
{
public:
    TWordCardAdapter();
    ~TWordCardAdapter() override;

    QSize CardSize() const override;
    void SetWords(TNamedList<TWord> words, int index) override;
    void ResetState() override;
    void SetCardColor(quint32 bgr) override;
    void SetReadingNote(int value) override;
    void SetNoteHint(const QString &hint) override;
    void ShowAt(const QPoint &topLeft) override;
    void CloseCard() override;
    TWord *CurrentWord() const override;

    TfrmShowWord &Card() const;

private:
    mutable std::unique_ptr<TfrmShowWord> m_card;
};
