#pragma once

#include "store/Catalogue.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>

#include <array>
#include <vector>

class TPageWords;

// The account operations on the living sync client and data centre. "Wait" operations
// block for the answer and report failure (offline, non-zero code) as false or an empty
// result; background operations are queued durably and report nothing.

// Operation 26, background batch: for a page with words, DueCount -= words, a word
// without a mark takes the page's DefaultMark, each word's NextAbility and StudyCount + 1
// go out in one envelope, then the due rows are deleted in one transaction.
void SendPageMarks(TPageWords &page);
// Operation 28: empties table Vocamo (DueCount 0) and fills it from the answer's
// "Word_Type" 3 elements in one transaction. True when rows were stored.
bool DownloadDueWords();
// Operation 24: "StatArray" elements 0..4 into figures; false (figures untouched) on failure.
bool QueryStatistics(std::array<int, 5> &figures);
// Operation 27: the account's books of categories 1, 5, 31, 32.
std::vector<TKX5Book> ListAccountBooks();
// Operation 6: the books the server offers in a category.
std::vector<TKX5Book> ListCategoryBooks(int categoryId);
// Operations 8 and 7: true on success.
bool AddAccountBook(int categoryId, const QString &text);
bool RemoveAccountBook(int categoryId, const QString &text);
// Operation 12, background.
void SetBookIndex(int categoryId, int bookId, int index);
// Operations 31, 36, 40, 41, 42, background. Hardness values above 2 are sent as 2.
void SendReadingState(int itemId, int value, int day);
void SendQuestionHardness(int questionId, int hardness, int day);
void SaveComposition(int articleId, const QByteArray &content, const QString &hash);
void DeleteComposition(const QString &hash);
void SendCompositionHardness(int articleId, int hardness);
// Operation 23: quotes removed, CR LF as "<br>"; true when "data" -> "Success" is 0.
bool AddNote(const QString &title, const QString &text);
// Operation 34, background batch of the answer envelopes of a paper.
void SendAnswers(const QJsonArray &answers);
// Operation 37, background batch of the 22 account settings of Config, in their order;
// the account record takes the same values so that they apply at once.
void SaveSettings();
// The 22 (key, value) pairs SaveSettings sends, in order.
std::vector<std::pair<QString, int>> SettingsEntries();
// Operation code 1 or 8 on "KX5ConfigVocamo2", background: {"OperateType", "UserID",
// "FieldValue", "FieldName"}.
void SetAccountField(int code, const QString &fieldName, int value);
// Copies the account record's settings into Config (nothing is sent).
void LoadSettings();
