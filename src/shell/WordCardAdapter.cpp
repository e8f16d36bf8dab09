#include "shell/WordCardAdapter.h"

#include "dialogs/ShowWordfrm.h"
#include "store/Word.h"

#include <QToolButton>

TWordCardAdapter::TWordCardAdapter() = default;

TWordCardAdapter::~TWordCardAdapter() = default;

TfrmShowWord &TWordCardAdapter::Card() const
{
    if (!m_card) {
        m_card = std::make_unique<TfrmShowWord>();
        const std::pair<QToolButton *, int> buttons[] = {
            {m_card->btnBaseInfo, 1}, {m_card->btnExample, 2}, {m_card->btnEnglish, 3},
            {m_card->btnSound, 4},    {m_card->btnAddReadingNote, 5}, {m_card->btnSpell, 6}};
        auto *self = const_cast<TWordCardAdapter *>(this);
        for (const auto &[button, tag] : buttons) {
            if (!button)
                continue;
            QObject::connect(button, &QToolButton::clicked, m_card.get(), [self, tag = tag] {
                if (self->OnButton)
                    self->OnButton(tag);
            });
        }
    }
    return *m_card;
}

QSize TWordCardAdapter::CardSize() const { return Card().size(); }

void TWordCardAdapter::SetWords(TNamedList<TWord> words, int index)
{
    TfrmShowWord &card = Card();
    card.SetWords(std::make_unique<TfrmShowWord::TWordList>(std::move(words)));
    card.WordIndex = index;
    card.DisplayWord(card.SelectedWord());
}

void TWordCardAdapter::ResetState() { Card().OutsideTicks = 0; }

void TWordCardAdapter::SetCardColor(quint32 bgr) { Card().SetColor(bgr); }

void TWordCardAdapter::SetReadingNote(int value) { Card().CloseDelay = value; }

void TWordCardAdapter::SetNoteHint(const QString &hint)
{
    if (Card().btnAddReadingNote)
        Card().btnAddReadingNote->setToolTip(hint);
}

void TWordCardAdapter::ShowAt(const QPoint &topLeft)
{
    TfrmShowWord &card = Card();
    card.move(topLeft);
    card.show();
}

void TWordCardAdapter::CloseCard()
{
    if (m_card)
        m_card->hide();
}

TWord *TWordCardAdapter::CurrentWord() const { return m_card ? m_card->SelectedWord() : nullptr; }
