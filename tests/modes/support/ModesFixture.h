#pragma once

// A layer host on a copy of the sample store: the data centre opens the copy in a
// temporary folder that the program treats as its own, the host lives on a plain window.
// TTestLayer is a page-based layer whose pages, sub-pages, kind and word a test sets.

#include "controls/RichEdits.h"
#include "controls/SimpleGrid.h"
#include "modes/QueueWorld.h"
#include "store/DataCenter.h"
#include "store/Word.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <vector>

class ModesFixture
{
public:
    ModesFixture()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("VOCAMO_HOME", m_dir.path().toUtf8());
        // A home of its own, so the embedded reference server (which keeps its data in the
        // user's data folder) starts every test with the account's words all due.
        qputenv("HOME", m_dir.path().toUtf8());
        const QString sample = qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/Vocamo.mdb");
        m_copied = QFile::copy(sample, m_dir.filePath(QStringLiteral("Vocamo.mdb")));
        if (m_copied)
            QFile::setPermissions(m_dir.filePath(QStringLiteral("Vocamo.mdb")),
                                  QFile::ReadOwner | QFile::WriteOwner);
        // The embedded reference server reads its catalogue from the program's folder.
        QFile::copy(qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/VocamoServer.content"),
                    m_dir.filePath(QStringLiteral("VocamoServer.content")));
        centre = std::make_unique<TDataCenter>(QStringLiteral("Vocamo.mdb"), QString());
        window = std::make_unique<QWidget>();
        window->resize(800, 600);
        foundation = std::make_unique<TFoundation>(window.get());
    }

    ~ModesFixture()
    {
        if (world) {
            world->StopAll();
            world->Load();
        }
        world.reset();
        foundation.reset();
        window.reset();
        centre.reset();
    }

    bool ready() const { return m_copied && centre && centre->CurrentUser; }

    // A host without the word-book layer of the user's first book.
    TQueueWorld &makeWorld()
    {
        world = std::make_unique<TQueueWorld>(foundation.get());
        world->Attach();
        return *world;
    }

    QString dir() const { return m_dir.path(); }

    std::unique_ptr<TDataCenter> centre;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TFoundation> foundation;
    std::unique_ptr<TQueueWorld> world;

private:
    QTemporaryDir m_dir;
    bool m_copied = false;
};

// A layer with a table of pages: pages[p] is the number of sub-pages of page p once it
// was loaded; a page not loaded yet answers true for every sub-page (it has not been split).
class TTestLayer : public TQueueStrategy
{
public:
    TTestLayer(TQueueWorld &world, TLayerKind kind = TLayerKind::Other, std::vector<int> pages = {})
        : TQueueStrategy(world.Foundation, &world, 1), m_kind(kind), Pages(std::move(pages))
    {
        ModeName = QStringLiteral("测试");
    }
    ~TTestLayer() override
    {
        if (Destroyed)
            ++*Destroyed;
    }

    TLayerKind Kind() const override { return m_kind; }
    TUserBook *StudyBook() const override { return Book; }
    TWord *CurrentWord() override { return Word.get(); }
    bool CanClose() override { return Closable; }
    void Execute(int command) override
    {
        Commands.push_back({command, Flags});
        TQueueStrategy::Execute(command);
    }
    void Exhausted() override { ++ExhaustedCount; }
    TTipList ToolEntries(int) override { return Entries; }

    int PageCount() override { return int(Pages.size()); }
    void LoadPage(int page) override
    {
        Loaded = page;
        if (page >= 0 && page < PageCount())
            Split.insert(page);
    }
    int SubPageCount() override { return Loaded >= 0 && Loaded < PageCount() ? Pages[size_t(Loaded)] : 0; }
    bool PageHasContent(int page, int subPage) override
    {
        if (page < 0 || page >= PageCount() || subPage < 0)
            return false;
        if (!Split.contains(page))
            return true;
        return subPage < Pages[size_t(page)];
    }
    void PaintPage(int page, int subPage) override { Painted.push_back({page, subPage}); }

    TLayerKind m_kind;
    std::vector<int> Pages;
    QSet<int> Split;
    int Loaded = -1;
    std::unique_ptr<TWord> Word;
    TUserBook *Book = nullptr;
    bool Closable = true;
    int ExhaustedCount = 0;
    int *Destroyed = nullptr;
    TTipList Entries;
    std::vector<std::pair<int, int>> Commands; // (command, flags)
    std::vector<std::pair<int, int>> Painted;
};
