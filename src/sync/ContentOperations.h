#pragma once

#include "store/Catalogue.h"

#include <QString>

#include <memory>
#include <vector>

// The tree a catalogue is shown in (a tree view in the user interface): one call per
// node, parents before their children.
class TCatalogueTree
{
public:
    virtual ~TCatalogueTree() = default;
    // Adds a node for child under the node of parent (the root's node for the root).
    virtual void AddNode(TBookInfo *parent, TBookInfo *child, const QString &text, int imageIndex,
                         int selectedIndex) = 0;
};

// Puts a downloaded question into the paper being built (the exercise work implements it).
class TPaperBuilder
{
public:
    virtual ~TPaperBuilder() = default;
    virtual void AddToPaper(int userId, int questionType, bool suite, int questionId,
                            int paperId) = 0;
};

// A question of a chapter as the server lists it, answered ("Acquainted") or not yet.
struct TQuestionEntry
{
    int QuestionId = 0;
    QString Title;
    int Hardness = 0;
    int QuestionType = 0;
    int TotalScore = 0;      // rounded, halves to even
    int QuestionOrder = 0;
    double ScoreRatio = 0;   // AnswerScore / max(1, TotalScore)
    int LastDay = 40544;     // at least 1 January 2011
    int SuiteFlag = 0;
    int MaterialId = 0;
    int QNum1 = 0;
    QString Subject;
};

// The filter of the exercise chooser (operation 35).
struct TQuestionFilter
{
    QString ChapterId;
    int CategoryId = 0;
    int BookId = 0;
    int Round = 0;
    int Count = 0;
    int Ability = 0;
    int WordId = 0;
};

// Operation 29: builds the catalogue of kind (1 reading, 2 exercises, 3 writing) under
// root (linking entries to parents by id, ignoring letter case; entries that do not hang
// from root are dropped) and adds every node to the tree. False on failure.
bool LoadCatalogue(TCatalogueTree &tree, TBookInfo &root, int kind);
// Operation 33: empties Question, Choice, QuestionInfo and fills them from the answer in
// one transaction; questions go into the paper through builder (may be null).
bool DownloadExercises(const QString &chapterText, int userId, int paperId, TPaperBuilder *builder);
// Operation 39: empties Composition and fills it from the answer.
bool DownloadCompositions(int articleId);
// Operations 32 and 35.
std::vector<TQuestionEntry> ListChapterQuestions(const QString &chapterId);
std::vector<TQuestionEntry> FilterQuestions(const TQuestionFilter &filter, const QString &text);
// Operations 30 and 38.
std::vector<TArticle> ListArticles(const QString &chapterId);
std::vector<TArticle> ListWritingTopics(const QString &chapterId);
