#include "store/User.h"

#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "store/Routine.h"
#include "store/SearchQuery.h"
#include "store/Statements.h"
#include "store/Word.h"
#include "store/WordForms.h"

namespace {

const char *const propertyNames[TInterfaceObject::PropertyCount] = {
    "左", "上", "宽", "高", "颜色", "字体大小", "字体颜色",
};

QString nameTerm(const QString &name)
{
    return QStringLiteral("WORD_NAME = '%1'").arg(SqlQuoted(name));
}

// A relation id as the whole number it must be, or empty text when it is not one: the id
// goes into the statement unquoted.
QString relationIdText(const QString &relationId)
{
    bool ok = false;
    const qlonglong id = relationId.trimmed().toLongLong(&ok);
    return ok ? QString::number(id) : QString();
}

} // namespace

QString TInterfaceObject::PropertyName(int number)
{
    if (number < 1 || number > PropertyCount)
        return {};
    return QString::fromUtf8(propertyNames[number - 1]);
}

void TInterfaceObject::SetProperty(int number, int value)
{
    switch (number) {
    case 1: Left = value; break;
    case 2: Top = value; break;
    case 3: Width = value; break;
    case 4: Height = value; break;
    case 5: Color = value; break;
    case 6: FontSize = value; break;
    case 7: FontColor = value; break;
    default: break;
    }
}

int TInterfaceObject::Property(int number) const
{
    switch (number) {
    case 1: return Left;
    case 2: return Top;
    case 3: return Width;
    case 4: return Height;
    case 5: return Color;
    case 6: return FontSize;
    case 7: return FontColor;
    default: return 0;
    }
}

TUser::~TUser() = default;

void TUser::LoadBooks()
{
    if (!BooksLoaded && Channel) {
        if (SqliteDataset *ds = Channel->Query(QString::asprintf(Statements::UserBooks, UserId))) {
            for (ds->first(); !ds->eof(); ds->next()) {
                auto book = std::make_unique<TUserBook>(this, Channel);
                book->BookId = ds->fieldByName("BOOK_ID").asInteger();
                book->BookName = ds->fieldByName("BOOK_NAME").asText();
                book->Sequence = ds->fieldByName("SEQUENCE").asInteger();
                book->Deletable = ds->fieldByName("Deletable").asInteger();
                book->ActiveSequence = ds->fieldByName("Active_Sequence").asInteger();
                book->Category = ds->fieldByName("Category").asInteger();
                book->RelationBookId = ds->fieldByName("RelationBook_ID").asInteger();
                book->Hashcode = ds->fieldByName("Hashcode").asText();
                const QString name = book->BookName;
                if (book->Category == 1)
                    WordBooks.Add(name, std::move(book));
                else if (book->Category == 2)
                    OtherBooks.Add(name, std::move(book));
            }
        }
    }

    // The earliest of the books with the largest ActiveSequence wins.
    MaxActiveSequence = -1;
    CurrentBook = nullptr;
    for (const auto &[name, book] : WordBooks) {
        if (book->ActiveSequence > MaxActiveSequence) {
            MaxActiveSequence = book->ActiveSequence;
            CurrentBook = book.get();
        }
    }
    // Books whose sequence is below -1 still leave a current book rather than none.
    if (!CurrentBook)
        CurrentBook = WordBooks.At(0);
    BooksLoaded = true;
}

TLayout TUser::LoadLayout()
{
    TLayout layout;
    if (!Channel)
        return layout;
    SqliteDataset *ds = Channel->Query(QString::asprintf(Statements::Layout, UserId));
    if (!ds)
        return layout;
    for (ds->first(); !ds->eof(); ds->next()) {
        const QString name = DelphiTrim(ds->fieldByName("EXPLAIN").asText());
        TInterfaceObject *element = layout.Find(name);
        if (!element)
            element = layout.Add(name, std::make_unique<TInterfaceObject>(name));
        const QString choice = DelphiTrim(ds->fieldByName("CHOICE").asText());
        for (int p = 1; p <= TInterfaceObject::PropertyCount; ++p) {
            if (choice.compare(name + TInterfaceObject::PropertyName(p), Qt::CaseInsensitive) == 0) {
                element->SetProperty(p, ds->fieldByName("NUMBEREX").asInteger());
                break;
            }
        }
    }
    return layout;
}

bool TUser::SaveLayout(const std::vector<const TInterfaceObject *> &elements)
{
    if (!Channel)
        return false;
    // Without the old rows gone the new ones would be added beside them.
    if (!Channel->ExecuteInTransaction(QString::asprintf(Statements::DeleteLayout, UserId, 0)))
        return false;
    QStringList inserts;
    int index = 0;
    for (const TInterfaceObject *element : elements) {
        if (!element)
            continue;
        const QString name = SqlQuoted(element->Name);
        for (int p = 1; p <= TInterfaceObject::PropertyCount; ++p) {
            const QString choice = name + TInterfaceObject::PropertyName(p);
            inserts << QString::asprintf(Statements::InsertLayout, element->Property(p), UserId, 0,
                                         index * 20 + p, qUtf8Printable(choice),
                                         qUtf8Printable(name));
        }
        ++index;
    }
    return inserts.isEmpty() || Channel->ExecuteListInTransaction(inserts);
}

bool TUser::SaveLayout(const TLayout &layout)
{
    std::vector<const TInterfaceObject *> elements;
    for (const auto &[name, element] : layout)
        elements.push_back(element.get());
    return SaveLayout(elements);
}

SqliteDataset *TUser::OpenPage(const QString &queryName)
{
    return Channel ? Channel->OpenNamed(queryName, QString::fromLatin1(Statements::DuePage)) : nullptr;
}

SqliteDataset *TUser::OpenWordList(const QString &queryName, const QString &firstName,
                                   bool namesOnly, const QString &namesText)
{
    if (!Channel)
        return nullptr;
    QString text = DelphiTrim(namesText);
    text.replace(QLatin1Char(' '), QLatin1Char(','));
    QStringList entries = text.split(QLatin1Char(','));
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].compare(QLatin1String("A"), Qt::CaseInsensitive) == 0) {
            entries.removeAt(i);
            break;
        }
    }

    // The first name alone keeps the statement valid for an empty list.
    QString condition = QLatin1Char(' ') + nameTerm(firstName) + QLatin1Char(' ');
    for (QString entry : entries) {
        entry = DelphiTrim(entry.replace(QLatin1Char('_'), QLatin1Char(' ')));
        if (entry.isEmpty() || entry.contains(QLatin1Char('\'')) || entry.contains(QLatin1Char('"')))
            continue;
        const QStringList forms = namesOnly ? QStringList{entry} : ::PhraseForms(*Channel, entry);
        for (const QString &form : forms)
            condition += QLatin1String(" or ") + nameTerm(form);
    }
    return Channel->OpenNamed(queryName, QString::fromLatin1(Statements::WordList)
                                             + QString::asprintf(Statements::WordListByNames,
                                                                 qUtf8Printable(condition)));
}

SqliteDataset *TUser::OpenSearch(const QString &queryName, const QString &searchText, bool byName)
{
    if (!Channel)
        return nullptr;
    const QString condition = BuildSearchCondition(searchText, byName);
    return Channel->OpenNamed(queryName, QString::fromLatin1(Statements::WordList)
                                             + QString::asprintf(Statements::WordListBySearch,
                                                                 qUtf8Printable(condition)));
}

std::vector<std::unique_ptr<TWord>> TUser::ReadPage(const QString &queryName, int pageSize,
                                                    TUserBook *book, bool done, int pageIndex)
{
    std::vector<std::unique_ptr<TWord>> words;
    SqliteDataset *ds = Channel ? Channel->FindNamed(queryName) : nullptr;
    if (!ds || !ds->isActive() || pageSize <= 0 || pageIndex < 0)
        return words;
    ds->first();
    const qint64 skip = qint64(pageSize) * pageIndex;
    for (qint64 i = 0; i < skip && !ds->eof(); ++i)
        ds->next();
    const TWord::Columns columns(*ds);
    for (int i = 0; i < pageSize && !ds->eof(); ++i, ds->next())
        words.push_back(TWord::LoadWord(*ds, columns, done, book, Channel));
    return words;
}

std::unique_ptr<TWord> TUser::FindWord(const QString &name)
{
    if (!Channel)
        return nullptr;
    SqliteDataset *ds = Channel->Query(
        QString::fromLatin1(Statements::WordList)
        + QString::asprintf(Statements::WordListByName, qUtf8Printable(SqlQuoted(name))));
    if (!ds || ds->eof())
        return nullptr;
    return TWord::LoadWord(*ds, false, nullptr, Channel);
}

int TUser::PageCount(const QString &queryName, int pageSize)
{
    if (pageSize <= 0)
        return 0;
    return (pageSize + RowCount(queryName) - 1) / pageSize;
}

int TUser::RowCount(const QString &queryName)
{
    SqliteDataset *ds = Channel ? Channel->FindNamed(queryName) : nullptr;
    return ds && ds->isActive() ? ds->recordCount() : 0;
}

bool TUser::SetRelationHardness(const QString &relationId, int value)
{
    const QString id = relationIdText(relationId);
    if (!Channel || id.isEmpty())
        return false;
    SqliteDataset *ds = Channel->Query(
        QString::asprintf(Statements::Relation, qUtf8Printable(id), UserId));
    if (!ds || ds->eof() || !ds->edit())
        return false;
    if (!ds->fieldByName("Hardness").setAsInteger(value)) {
        ds->cancel();
        return false;
    }
    return ds->post();
}

int TUser::GetRelationHardness(const QString &relationId)
{
    const QString id = relationIdText(relationId);
    if (!Channel || id.isEmpty())
        return 0;
    SqliteDataset *ds = Channel->Query(
        QString::asprintf(Statements::RelationHardness, qUtf8Printable(id), UserId));
    if (!ds || ds->eof())
        return 0;
    return ds->fieldByName("Hardness").asInteger();
}

void TUser::ClearLayerTips()
{
    LayerTipLists.Clear();
}

void TUser::DropLayerTips(int layerId)
{
    LayerTipLists.RemoveAt(LayerTipLists.IndexOf(QString::number(layerId)));
}

const TTipList &TUser::LayerTips(int layerId, bool withBook)
{
    const QString key = QString::number(layerId);
    if (const TTipList *cached = LayerTipLists.Find(key))
        return *cached;
    return *LayerTipLists.Add(key, std::make_unique<TTipList>(buildLayerTips(layerId, withBook)));
}

TTipList TUser::buildLayerTips(int layerId, bool withBook)
{
    TTipList tips;
    tips.push_back({27, QStringLiteral("退出(ESC)"), QStringLiteral("退出当前层,返回到下一层"), {}});
    if (withBook && (layerId == 1 || layerId == 2 || layerId == 3 || layerId == 7)) {
        const QString caption = QStringLiteral("设置记忆状态");
        tips.push_back({187, TDataCenter::StateLabel(11) + QStringLiteral("(+)"), caption, {}});
        const TDataCenter *centre = DataCenter();
        const int stateCount = centre ? centre->Config.StateCount : TConfig().StateCount;
        for (int e = 1; e <= stateCount - 1; ++e)
            tips.push_back({48 + e, QStringLiteral("%1(%2)").arg(TDataCenter::StateLabel(e)).arg(e),
                            caption, {}});
    }
    readTips(Statements::VisibleTips, layerId, tips);
    tips.push_back({670, QStringLiteral("查找(CTRL+F)"), QStringLiteral("查找单词"), {}});
    return tips;
}

void TUser::readTips(const char *format, int layerId, TTipList &tips)
{
    SqliteDataset *ds = Channel ? Channel->Query(QString::asprintf(format, layerId, UserId)) : nullptr;
    if (!ds)
        return;
    for (ds->first(); !ds->eof(); ds->next()) {
        tips.push_back({ds->fieldByName("LayerKey").asInteger(), ds->fieldByName("Title").asText(),
                        ds->fieldByName("Caption").asText(), ds->fieldByName("HashCode").asText()});
    }
}

void TUser::LoadMoreTips(int layerId)
{
    MoreTips.clear();
    readTips(Statements::HiddenTips, layerId, MoreTips);
}
