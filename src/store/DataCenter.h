#pragma once

#include "store/Config.h"
#include "store/NamedList.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TAdoChannel;
class TExample;
class TUser;
class TWord;
class TWordMarkSender;

// The central data object: the program database, the local users, the signed-in
// account's record and settings, and the lookups the modes share. One instance lives
// while the program runs; DataCenter() reaches it from everywhere. Called from the main
// thread only, except for the two locks that the background threads hold.
class TDataCenter
{
public:
    // Opens ExecutableFolder() + "/" + fileName with password and loads the users; the
    // first user in User_ID order becomes the current user. A file that cannot be opened
    // leaves the channel without a database (every query then fails) and no users.
    TDataCenter(const QString &fileName, const QString &password);
    ~TDataCenter();
    TDataCenter(const TDataCenter &) = delete;
    TDataCenter &operator=(const TDataCenter &) = delete;

    // CurrentUser := Users[index mod count]; none when there are no users.
    void SelectUser(int index);
    // "-1" followed by "," and every USER_ID of USERS, for an SQL "in (...)" list.
    QString UserIdList();

    // The examples of a word in their order (English text deciphered, both trimmed, kind 1).
    std::vector<std::unique_ptr<TExample>> LoadExamples(int wordId);
    bool HasExamples(int wordId);
    // The WORD_NOTE blob of the word; empty when there is none.
    QByteArray LoadWordNote(int wordId);
    bool HasExplain(int wordId);
    // The words of TotalWords whose name is one of names (quotes doubled), in table
    // order and keyed by name; one word with id 0 named fallback when none matches.
    TNamedList<TWord> LookupWords(const QStringList &names, const QString &fallback);
    // Candidate base forms of a word and of a phrase, looked up on the channel.
    QStringList WordForms(const QString &text);
    QStringList PhraseForms(const QString &text);

    // 1 "熟悉", 2 "认识", 11 "牢记", any other "陌生".
    static QString StateLabel(int state);
    // The settings value of a state: 1 FirstValue, 2 SecondValue, 11 Addition, any other
    // StateValue4.
    int StateValue(int state) const;

    // True when a running non-loopback network interface with an address exists, or the
    // configured server is on this machine (ServerIsLocal).
    bool IsOnline() const;
    // When offline, shows "网络没有连通！" through the notifier (nothing without one).
    void CheckOnline() const;
    void SetNotifier(std::function<void(const QString &)> notifier);
    // Shows text through the notifier (nothing without one).
    void Notify(const QString &text) const
    {
        if (m_notifier)
            m_notifier(text);
    }

    // User_ID and User_Phone of the account record (0 and "" before sign-in).
    int CurrentUserId() const;
    QString AccountName() const;
    // User_Speed of the account record: 12 when missing, at least 1.
    int AccountSpeed() const;

    // The due-word category of a study track: 0 and 1 -> 0, 2 -> 31, 3 -> 32.
    static int CategoryOfTrack(int track);
    int StudyCategory() const { return CategoryOfTrack(StudyTrack); }

    // The receiver of single marked words (not owned; nullptr: updates are not sent).
    void SetWordMarkSender(TWordMarkSender *sender) { m_wordMarkSender = sender; }
    TWordMarkSender *WordMarkSender() const { return m_wordMarkSender; }

    std::unique_ptr<TAdoChannel> Channel;
    QJsonObject UserInfo;           // empty before sign-in
    TUser *CurrentUser = nullptr;   // owned by Users
    TNamedList<TUser> Users;        // by USER_NAME, in User_ID order
    int MajorVersion = 0;
    int MinorVersion = 0;
    int ActiveUserIndex = 0;
    QString CloudDir;
    TConfig Config;
    int DueCount = 0;
    int StudyTrack = 0;             // 0 英文到中文, 1 中文到英文, 2 单词拼写, 3 单词听写
    bool RefillExhausted = false;
    std::atomic<bool> ServerIsLocal{false};

    std::mutex RequestLock;         // held by each background server request
    std::mutex SoundLock;           // held by each sound download

private:
    void loadFeature();
    void loadUsers();

    std::function<void(const QString &)> m_notifier;
    TWordMarkSender *m_wordMarkSender = nullptr;
};

// The living data centre, or nullptr when none exists.
TDataCenter *DataCenter();
