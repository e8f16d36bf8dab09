#include "store/Word.h"

#include "platform/DateTime.h"
#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/ContentKeys.h"
#include "store/DataCenter.h"
#include "store/Routine.h"
#include "store/Statements.h"
#include "store/User.h"
#include "store/WordMarkSender.h"

#include <algorithm>
#include <cmath>

namespace {

// The settings when no data centre exists (a word examined on its own): the account
// defaults, as after signing in to an account without settings.
const TConfig &fallbackConfig()
{
    static const TConfig config = [] {
        TConfig c;
        c.ApplyAccount(QJsonObject());
        return c;
    }();
    return config;
}

QString sql(const char *format, int a)
{
    return QString::asprintf(format, a);
}

} // namespace

TWord::TWord(TUserBook *book, TAdoChannel *channel) : Channel(channel), Book(book)
{
}

TWord::Columns::Columns(const SqliteDataset &ds)
    : Time(ds.fieldIndex("Vocamo_Time")), Ability(ds.fieldIndex("Vocamo_Ability")),
      Category(ds.fieldIndex("Vocamo_CategoryID")), Round(ds.fieldIndex("Vocamo_Round")),
      Count(ds.fieldIndex("Vocamo_Count")), NewSymbol(ds.fieldIndex("WORD_NEWSYMBOL")),
      Usage(ds.fieldIndex("WORD_USAGE")), BookId(ds.fieldIndex("Vocamo_BookID")),
      Name(ds.fieldIndex("WORD_NAME")), OwnSymbol(ds.fieldIndex("Vocamo_Symbol")),
      Symbol(ds.fieldIndex("WORD_SYMBOL")), RelationCount(ds.fieldIndex("Relation_Count")),
      OwnContent(ds.fieldIndex("Vocamo_Content")), Trans(ds.fieldIndex("WORD_TRANS")),
      OwnSentence(ds.fieldIndex("Vocamo_Sentence")),
      OwnTranslation(ds.fieldIndex("Vocamo_Translation")), Example(ds.fieldIndex("WORD_EXAMPLE")),
      ExampleClass(ds.fieldIndex("WORD_CLASS")), Explain(ds.fieldIndex("WORD_EXPLAIN")),
      Aids(ds.fieldIndex("WORD_AIDS")), GreAntonym(ds.fieldIndex("WORD_GREANTONYM")),
      Analogy(ds.fieldIndex("WORD_ANALOPY")), Synonyms(ds.fieldIndex("WORD_SYNONYMY")),
      Antonyms(ds.fieldIndex("WORD_ANTONYM")), WordId(ds.fieldIndex("Vocamo_WordID")),
      ExampleExist(ds.fieldIndex("Example_Exist"))
{
}

std::unique_ptr<TWord> TWord::LoadWord(SqliteDataset &ds, bool done, TUserBook *book,
                                       TAdoChannel *channel)
{
    return LoadWord(ds, Columns(ds), done, book, channel);
}

std::unique_ptr<TWord> TWord::LoadWord(SqliteDataset &ds, const Columns &c, bool done,
                                       TUserBook *book, TAdoChannel *channel)
{
    auto word = std::make_unique<TWord>(book, channel);
    // field(-1) is an invalid handle, which reads as empty text and 0.
    auto text = [&ds](int column) { return ds.field(column).asText(); };
    auto number = [&ds](int column) { return ds.field(column).asInteger(); };

    word->StudyTime = ds.field(c.Time).asFloat();
    word->LinkMode = false;
    word->Ability = word->LoadedAbility = number(c.Ability);
    word->CategoryId = number(c.Category);
    const int round = number(c.Round);
    if (round != 0)
        word->Mark = static_cast<quint8>(std::min(6, round + 1));
    word->StudyCount = number(c.Count);
    word->NewSymbol = text(c.NewSymbol);
    word->Usage = number(c.Usage);
    word->BookId = number(c.BookId);

    QString name = text(c.Name);
    if (book) {
        const TDataCenter *centre = DataCenter();
        if (centre && centre->Config.IsUpperCase)
            name = name.toUpper();
    }
    word->SourceName = name;
    // Without regard to case, so an upper-cased headword loses its marker too.
    word->Name = name.remove(QLatin1String(WordNameMarker), Qt::CaseInsensitive);

    const QString ownSymbol = text(c.OwnSymbol);
    word->Symbol = ownSymbol.isEmpty() ? text(c.Symbol) : ownSymbol;
    word->RelationCount = number(c.RelationCount);

    const QString ownMeaning = text(c.OwnContent);
    word->Meaning = FlattenLines(ownMeaning.isEmpty() ? text(c.Trans) : ownMeaning);

    const QString ownSentence = text(c.OwnSentence);
    if (ownSentence.isEmpty()) {
        word->Example = text(c.Example);
        word->ExampleTrans = text(c.ExampleClass);
    } else {
        word->Example = ownSentence;
        word->ExampleTrans = text(c.OwnTranslation);
    }

    word->Explain = text(c.Explain);
    word->Aids = text(c.Aids);
    word->GreAntonym = text(c.GreAntonym);
    word->Analogy = text(c.Analogy);
    word->Synonyms = DelphiTrim(text(c.Synonyms));
    word->Antonyms = DelphiTrim(text(c.Antonyms));
    word->WordId = number(c.WordId);
    word->ExampleExist = number(c.ExampleExist);
    word->ShowCount = 0;
    word->Done = done;
    return word;
}

int TWord::NextAbility(int mark) const
{
    return NextAbility(mark, nowDayNumber());
}

int TWord::NextAbility(int mark, double now) const
{
    if (!Book)
        return 1;
    const TDataCenter *centre = DataCenter();
    const TConfig &config = centre ? centre->Config : fallbackConfig();
    const int speed = centre ? centre->AccountSpeed() : 12;

    if (mark == 0)
        mark = config.InitialState;

    // One period is `speed` hours; a word reviewed within its ability keeps it, and each
    // period of lateness beyond it costs one.
    const double period = std::max(1, speed) * 0.04167;
    const double elapsed = std::trunc((now - StudyTime) / period);
    const double over = std::max(0.0, elapsed - Ability);
    double ability = std::max(0.0, Ability - over);

    switch (mark) {
    case 0:
    case 1:
        ability += config.FirstValue;
        break;
    case 2:
        ability += config.SecondValue;
        break;
    case 11:
        ability += config.Addition;
        break;
    default:
        ability = 1;
        break;
    }
    if (StudyCount == 0 && (CategoryId == 31 || CategoryId == 32) && mark == 1)
        ability = config.Addition;

    return static_cast<int>(std::clamp(ability, 1.0, 2147483647.0));
}

bool TWord::Commit()
{
    return Commit(nowDayNumber());
}

bool TWord::Commit(double now)
{
    if (!Book)
        return false;
    if (Mark == 0) {
        const TDataCenter *centre = DataCenter();
        const TConfig &config = centre ? centre->Config : fallbackConfig();
        Mark = static_cast<quint8>(config.InitialState);
    }
    Ability = NextAbility(Mark, now);

    bool deleted = false;
    if (Channel) {
        deleted = Channel->ExecuteInTransaction(
            QString::asprintf(Statements::DeleteDueWord, CategoryId, BookId, WordId));
    }
    // The update goes out even when the local row could not be deleted: the server's
    // state is what decides when the word is due again.
    if (const TDataCenter *centre = DataCenter()) {
        if (TWordMarkSender *sender = centre->WordMarkSender())
            sender->SendWordMark(CategoryId, BookId, StudyCount + 1, Ability, WordId);
    }
    return deleted;
}

bool TWord::SaveExample(const QString &sentence, const QString &translation)
{
    if (!Channel)
        return false;
    SqliteDataset *ds = Channel->Query(sql(Statements::SaveExample, WordId));
    if (!ds || ds->eof() || !ds->edit())
        return false;
    if (!ds->fieldByName("WORD_EXAMPLE").setAsText(sentence)
        || !ds->fieldByName("WORD_CLASS").setAsText(translation)) {
        ds->cancel();
        return false;
    }
    return ds->post();
}

bool TWord::ReloadTexts()
{
    if (!Channel)
        return false;
    SqliteDataset *ds = Channel->Query(sql(Statements::ReloadTexts, WordId));
    if (!ds || ds->eof())
        return false;
    Meaning = FlattenLines(ds->fieldByName("Word_Trans").asText());
    Example = ds->fieldByName("Word_Example").asText();
    ExampleTrans = ds->fieldByName("WORD_CLASS").asText();
    return true;
}

int TWord::RelationCountFor() const
{
    if (!Channel)
        return 0;
    const char *format = LinkMode ? Statements::LinkWordCount : Statements::RelationWordCount;
    SqliteDataset *ds = Channel->Query(QString::asprintf(format, UserId, WordId));
    if (!ds || ds->eof())
        return 0;
    return ds->fieldByName("Relation_Count").asInteger();
}

QString TWord::DecipherSynonyms() const
{
    if (Synonyms.isEmpty())
        return {};
    return DecipherHexText(Synonyms, ContentKeys::Text(ContentKeys::Synonym), 0).value_or(QString());
}

QString TWord::DecipherAntonyms() const
{
    if (Antonyms.isEmpty())
        return {};
    return DecipherHexText(Antonyms, ContentKeys::Text(ContentKeys::Antonym), 0).value_or(QString());
}

QString TWord::Markers() const
{
    QString markers;
    if (!DelphiTrim(Antonyms).isEmpty())
        markers = QStringLiteral("B");
    if (!DelphiTrim(Synonyms).isEmpty())
        markers.prepend(QLatin1Char('Z'));
    return markers;
}

std::unique_ptr<TWord> TWord::Clone() const
{
    auto copy = std::make_unique<TWord>(Book, Channel);
    copy->WordId = WordId;
    copy->Name = Name;
    copy->Symbol = Symbol;
    copy->Affix = Affix;
    copy->Meaning = Meaning;
    copy->NewSymbol = NewSymbol;
    copy->Explain = Explain;
    copy->Synonyms = Synonyms;
    copy->Antonyms = Antonyms;
    copy->Analogy = Analogy;
    copy->GreAntonym = GreAntonym;
    copy->Extra1 = Extra1;
    copy->Extra2 = Extra2;
    copy->Aids = Aids;
    copy->Example = Example;
    copy->ExampleTrans = ExampleTrans;
    copy->ShowTrans = ShowTrans;
    copy->LinkMode = LinkMode;
    copy->RelationCount = RelationCount;
    copy->SourceName = SourceName;
    copy->ExampleExist = ExampleExist;
    return copy;
}

void TPageWords::Add(TWord *word)
{
    if (!word)
        return;
    m_words.push_back(word);
    word->PagePosition = Count();
}

void TPageWords::Delete(int index)
{
    if (index >= 0 && index < Count())
        m_words.erase(m_words.begin() + index);
}

TWord *TPageWords::Get(int index) const
{
    return index >= 0 && index < Count() ? m_words[static_cast<size_t>(index)] : nullptr;
}

bool TPageWords::AllDone() const
{
    return std::all_of(m_words.begin(), m_words.end(),
                       [](const TWord *word) { return word->Done; });
}

void TPageWords::SortByAbility()
{
    std::stable_sort(m_words.begin(), m_words.end(), [](const TWord *a, const TWord *b) {
        if (a->Ability != b->Ability)
            return a->Ability < b->Ability;
        return a->Name.compare(b->Name, Qt::CaseInsensitive) < 0;
    });
}

TExample::TExample(const QString &sentence, int kind, const QString &translation)
    : Sentence(DelphiTrim(sentence)), Kind(kind), Translation(DelphiTrim(translation))
{
}

TExample *TPageExamples::Add(std::unique_ptr<TExample> example)
{
    m_examples.push_back(std::move(example));
    TExample *added = m_examples.back().get();
    if (added)
        added->PagePosition = Count();
    return added;
}

TExample *TPageExamples::Get(int index) const
{
    return index >= 0 && index < Count() ? m_examples[static_cast<size_t>(index)].get() : nullptr;
}

bool TPageExamples::AllDone() const
{
    return std::all_of(m_examples.begin(), m_examples.end(),
                       [](const auto &example) { return example && example->Kind != 0; });
}
