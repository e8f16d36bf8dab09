#pragma once

// Receives the update of one marked word (category, book, the study count after this
// marking, the new ability, word id). The sync layer implements it and sends the
// update to the server in the background; the data centre holds the installed one.
class TWordMarkSender
{
public:
    virtual ~TWordMarkSender() = default;
    virtual void SendWordMark(int categoryId, int bookId, int studyCount, int ability,
                              int wordId) = 0;
};
