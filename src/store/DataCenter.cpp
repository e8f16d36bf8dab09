#include "store/DataCenter.h"

#include "platform/AppPaths.h"
#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/ContentKeys.h"
#include "store/Routine.h"
#include "store/Statements.h"
#include "store/User.h"
#include "store/Word.h"
#include "store/WordForms.h"

#include <QRegularExpression>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <algorithm>

namespace {

TDataCenter *g_dataCenter = nullptr;

// The example text as stored: deciphered bytes up to the first zero byte, its lines
// joined with CRLF, trimmed. Empty when the blob cannot be unpacked.
QString exampleSentence(QByteArray blob)
{
    if (!UnpackAndDecipher(blob, ContentKeys::Bytes(ContentKeys::Example)))
        return {};
    const qsizetype zero = blob.indexOf('\0');
    if (zero >= 0)
        blob.truncate(zero);
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return DelphiTrim(QString::fromUtf8(blob).split(lineBreak).join(QStringLiteral("\r\n")));
}

} // namespace

TDataCenter *DataCenter()
{
    return g_dataCenter;
}

TDataCenter::TDataCenter(const QString &fileName, const QString &password)
    : Channel(std::make_unique<TAdoChannel>())
{
    g_dataCenter = this;
    // A file that cannot be opened is found out by the first query (and the version check).
    Channel->OpenDatabase(ExecutableFolder() + QLatin1Char('/') + fileName, password);
    loadFeature();
    loadUsers();
    ActiveUserIndex = 0;
    SelectUser(0);
}

TDataCenter::~TDataCenter()
{
    if (g_dataCenter == this)
        g_dataCenter = nullptr;
}

void TDataCenter::loadFeature()
{
    SqliteDataset *ds = Channel->Query(QString::fromLatin1(Statements::Feature));
    if (!ds || ds->eof())
        return;
    MajorVersion = ds->fieldByName("LIFE_MAJOR_VERSION").asInteger();
    MinorVersion = ds->fieldByName("LIFE_MINOR_VERSION").asInteger();
    CloudDir = ds->fieldByName("LIFE_CLOUD_DIR").asText();
}

void TDataCenter::loadUsers()
{
    SqliteDataset *ds = Channel->Query(QString::fromLatin1(Statements::Users));
    if (!ds)
        return;
    for (ds->first(); !ds->eof(); ds->next()) {
        auto user = std::make_unique<TUser>(Channel.get());
        user->UserId = ds->fieldByName("USER_ID").asInteger();
        user->UserName = ds->fieldByName("USER_NAME").asText();
        user->Password = ds->fieldByName("USER_PASSWORD").asText();
        user->UpdateDictionary = ds->fieldByName("Update_Dictionary").asInteger() == 1;
        user->UserType = ds->fieldByName("User_Type").asInteger() == 1;
        user->RealName = ds->fieldByName("User_RealName").asText();
        user->Number = ds->fieldByName("User_Number").asText();
        user->ActiveSequence = ds->fieldByName("Active_Sequence").asInteger();
        const QString name = user->UserName;
        Users.Add(name, std::move(user));
    }
}

void TDataCenter::SelectUser(int index)
{
    const int count = Users.Count();
    if (count == 0) {
        CurrentUser = nullptr;
        return;
    }
    index %= count;
    if (index < 0)
        index += count;
    CurrentUser = Users.At(index);
}

QString TDataCenter::UserIdList()
{
    QString list = QStringLiteral("-1");
    if (SqliteDataset *ds = Channel->Query(QString::fromLatin1(Statements::UserIds))) {
        for (ds->first(); !ds->eof(); ds->next())
            list += QLatin1Char(',') + QString::number(ds->fieldByName("USER_ID").asInteger());
    }
    return list;
}

std::vector<std::unique_ptr<TExample>> TDataCenter::LoadExamples(int wordId)
{
    std::vector<std::unique_ptr<TExample>> examples;
    SqliteDataset *ds = Channel->Query(QString::asprintf(Statements::Examples, wordId));
    if (!ds)
        return examples;
    for (ds->first(); !ds->eof(); ds->next()) {
        examples.push_back(std::make_unique<TExample>(
            exampleSentence(ds->fieldByName("EngContent").loadBlob()), 1,
            ds->fieldByName("ChnTranslation").asText()));
    }
    return examples;
}

bool TDataCenter::HasExamples(int wordId)
{
    SqliteDataset *ds = Channel->Query(QString::asprintf(Statements::ExampleCount, wordId));
    return ds && !ds->eof() && ds->fieldByName("ExampleCount").asInteger() > 0;
}

QByteArray TDataCenter::LoadWordNote(int wordId)
{
    SqliteDataset *ds = Channel->Query(QString::asprintf(Statements::WordNote, wordId));
    if (!ds || ds->eof())
        return {};
    return ds->fieldByName("WORD_NOTE").loadBlob();
}

bool TDataCenter::HasExplain(int wordId)
{
    SqliteDataset *ds = Channel->Query(QString::asprintf(Statements::ExplainCount, wordId));
    return ds && !ds->eof() && ds->fieldByName("ExplainCount").asInteger() > 0;
}

TNamedList<TWord> TDataCenter::LookupWords(const QStringList &names, const QString &fallback)
{
    TNamedList<TWord> words;
    QString condition = QStringLiteral(" where WORD_NAME = 'aaa' ");
    for (const QString &name : names)
        condition += QStringLiteral(" or  WORD_NAME = '%1' ").arg(SqlQuoted(name));

    if (SqliteDataset *ds = Channel->Query(QString::fromLatin1(Statements::LookupWords) + condition)) {
        for (ds->first(); !ds->eof(); ds->next()) {
            auto word = std::make_unique<TWord>(nullptr, Channel.get());
            word->WordId = ds->fieldByName("Word_ID").asInteger();
            word->Name = ds->fieldByName("Word_Name").asText();
            word->Symbol = ds->fieldByName("WORD_SYMBOL").asText();
            word->Meaning = ds->fieldByName("WORD_TRANS").asText();
            word->Explain = ds->fieldByName("WORD_EXPLAIN").asText();
            word->Synonyms = ds->fieldByName("WORD_SYNONYMY").asText();
            word->Antonyms = ds->fieldByName("WORD_ANTONYM").asText();
            word->Analogy = ds->fieldByName("WORD_ANALOPY").asText();
            word->Example = ds->fieldByName("WORD_EXAMPLE").asText();
            word->ExampleTrans = ds->fieldByName("WORD_CLASS").asText();
            word->Affix = ds->fieldByName("WORD_AFFIX").asText();
            word->SourceName = word->Name;
            const QString name = word->Name;
            words.Add(name, std::move(word));
        }
    }
    if (words.IsEmpty()) {
        auto word = std::make_unique<TWord>(nullptr, Channel.get());
        word->WordId = 0;
        word->Name = fallback;
        words.Add(fallback, std::move(word));
    }
    return words;
}

QStringList TDataCenter::WordForms(const QString &text)
{
    return ::WordForms(*Channel, text);
}

QStringList TDataCenter::PhraseForms(const QString &text)
{
    return ::PhraseForms(*Channel, text);
}

QString TDataCenter::StateLabel(int state)
{
    switch (state) {
    case 1: return QStringLiteral("熟悉");
    case 2: return QStringLiteral("认识");
    case 11: return QStringLiteral("牢记");
    default: return QStringLiteral("陌生");
    }
}

int TDataCenter::StateValue(int state) const
{
    switch (state) {
    case 1: return Config.FirstValue;
    case 2: return Config.SecondValue;
    case 11: return Config.Addition;
    default: return Config.StateValue4;
    }
}

bool TDataCenter::IsOnline() const
{
    if (ServerIsLocal.load())
        return true;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool online = false;
    for (const ifaddrs *entry = list; entry && !online; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        const bool usable = (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
        const bool hasAddress = entry->ifa_addr
            && (entry->ifa_addr->sa_family == AF_INET || entry->ifa_addr->sa_family == AF_INET6);
        online = usable && hasAddress;
    }
    freeifaddrs(list);
    return online;
}

void TDataCenter::CheckOnline() const
{
    if (!IsOnline() && m_notifier)
        m_notifier(QStringLiteral("网络没有连通！"));
}

void TDataCenter::SetNotifier(std::function<void(const QString &)> notifier)
{
    m_notifier = std::move(notifier);
}

int TDataCenter::CurrentUserId() const
{
    return TConfig::AccountInt(UserInfo, QLatin1String("User_ID"), 0);
}

QString TDataCenter::AccountName() const
{
    return UserInfo.value(QLatin1String("User_Phone")).toString();
}

int TDataCenter::AccountSpeed() const
{
    return std::max(1, TConfig::AccountInt(UserInfo, QLatin1String("User_Speed"), 12));
}

int TDataCenter::CategoryOfTrack(int track)
{
    switch (track) {
    case 2: return 31;
    case 3: return 32;
    default: return 0;
    }
}
