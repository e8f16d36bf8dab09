#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The human-written content sources of the sample store (data/*.tsv), read and checked.
// Every problem is collected as "file:line: message" so that one run reports them all.

struct WordEntry {
    QString name;
    QString symbol;
    QString meaning;      // line breaks as CR LF
    int usage = 0;
    QString example;
    QString translation;
    QStringList synonyms;
    QStringList antonyms;
};

struct ExampleEntry {
    int word = -1;        // index into Content::words
    QString english;
    QString chinese;
};

struct NoteEntry {
    int word = -1;
    QString chinese;
    QString english;
};

struct BookEntry {
    int id = 0;
    QString name;
    QList<int> words;     // indexes into Content::words, in book order
};

struct TipEntry {
    int layer = 0;
    int key = 0;
    QString title;
    QString caption;
    int sequence = 0;
    bool visible = false;
};

// One stored property of a screen element of the default layout (the Interface table).
struct LayoutEntry {
    QString element;
    int property = 0;     // 1 left, 2 top, 3 width, 4 height, 5 colour, 6 font size, 7 font colour
    qint64 value = 0;
};

struct IrregularEntry {
    QString base;
    QString past;
    QString participle;
};

struct Content {
    QList<WordEntry> words;
    QHash<QString, int> wordIndex;   // lower-case name -> index
    QList<ExampleEntry> examples;
    QList<NoteEntry> notes;
    QList<BookEntry> books;
    QList<TipEntry> tips;
    QList<IrregularEntry> irregulars;
    QList<LayoutEntry> layout;

    int indexOf(const QString &name) const { return wordIndex.value(name.toLower(), -1); }
};

// Reads every source file under dataDir. Returns false and fills errors on any problem.
bool ReadContent(const QString &dataDir, Content &content, QStringList &errors);

// Appends generated words ("ab" + letters) until the store holds totalWords words.
void AddSyntheticWords(Content &content, int totalWords);
