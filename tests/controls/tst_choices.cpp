#include "controls/MarovekComponent.h"

#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

class TestChoices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_host = std::make_unique<QWidget>();
        m_host->resize(400, 300);
        m_list = new TChoiceListLabel(m_host.get());
        m_list->setObjectName(QStringLiteral("cblBlank"));
        m_list->setGeometry(10, 10, 120, 24);
    }
    void cleanup() { m_host.reset(); }

    void letterText_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << "(A)";
        QTest::newRow("3") << 3 << "(C)";
        QTest::newRow("26") << 26 << "(Z)";
        QTest::newRow("0") << 0 << "";
        QTest::newRow("27") << 27 << "";
    }
    void letterText()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(TChoiceLabel::LetterText(number), text);
    }

    // Without the check box the whole label is filled, the selection winning over the
    // mark; with it only the letter cell is filled and the mark wins.
    void choiceLabelFill_data()
    {
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QColor mark(Qt::yellow), selection(Qt::cyan), white(Qt::white);
        QTest::newRow("plain marked") << false << false << true << QPoint(1, 1) << mark;
        QTest::newRow("plain selected") << false << true << false << QPoint(1, 1) << selection;
        QTest::newRow("plain both") << false << true << true << QPoint(1, 1) << selection;
        QTest::newRow("plain none") << false << false << false << QPoint(1, 1) << white;
        QTest::newRow("box both, cell") << true << true << true << QPoint(1, 20) << mark;
        QTest::newRow("box selected, cell") << true << true << false << QPoint(1, 20) << selection;
        QTest::newRow("box both, above cell") << true << true << true << QPoint(1, 1) << white;
    }
    void choiceLabelFill()
    {
        QFETCH(bool, checkBox);
        QFETCH(bool, selected);
        QFETCH(bool, marked);
        QFETCH(QPoint, probe);
        QFETCH(QColor, expected);
        TChoiceLabel label;
        label.SetAutoSize(false);
        label.resize(60, 40);
        label.SetColor(0x00FFFFFF);
        label.SetMarkColor(0x0000FFFF);     // yellow
        label.SetSelectedColor(0x00FFFF00); // cyan
        label.SetNumber(2);
        label.SetCheckBox(checkBox);
        label.SetSelected(selected);
        label.SetMarked(marked);
        QCOMPARE(label.grab().toImage().pixel(probe), expected.rgb());
    }

    void checkBoxCross()
    {
        TChoiceLabel label;
        label.SetAutoSize(false);
        label.resize(60, 40);
        label.SetColor(0x00FFFFFF);
        label.SetNumber(1);
        label.SetCheckBox(true);
        const int boxLeft = label.LetterCellWidth() + 1;
        const int boxBottom = 40 - (40 - 15) / 2;
        const QPoint centre(boxLeft + 6, boxBottom - 6);
        QCOMPARE(label.grab().toImage().pixel(centre), QColor(Qt::white).rgb());
        QCOMPARE(label.grab().toImage().pixel(boxLeft, boxBottom - 6), QColor(Qt::black).rgb());
        label.SetSelected(true);
        QCOMPARE(label.grab().toImage().pixel(centre), QColor(Qt::black).rgb());
    }

    void listLabelDefaults()
    {
        QCOMPARE(m_list->Caption(), QStringLiteral("未选"));
        QCOMPARE(m_list->Tag(), -1);
        QVERIFY(m_list->Transparent());
        QVERIFY(!m_list->AutoSize());
        QCOMPARE(m_list->Alignment(), TCustomSymbol::TAlignment::Center);
        QVERIFY(!m_list->Current());
        QCOMPARE(m_host->findChild<TChoiceListLabel *>(QStringLiteral("cblBlank")), m_list);
    }

    void styleOneShowsLastChoice()
    {
        m_list->SetStyle(1);
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral("1"), nullptr, 10, QStringLiteral("h1"));
        m_list->AddChoice(QStringLiteral("two"), QStringLiteral("2"), nullptr, 20, QStringLiteral("h2"));
        TChoiceObject *third =
            m_list->AddChoice(QStringLiteral("three"), QStringLiteral("3"), nullptr, 30, QStringLiteral("h3"));
        QCOMPARE(m_list->Caption(), QStringLiteral("three"));
        QCOMPARE(m_list->Current(), third);
        QCOMPARE(m_list->Tag(), 2);
        QCOMPARE(m_list->toolTip(), QStringLiteral("h3"));

        // Switching to style 1 later shows the last choice too.
        TChoiceListLabel other;
        other.AddChoice(QStringLiteral("a"), QStringLiteral("a"), nullptr, 1, {});
        other.AddChoice(QStringLiteral("b"), QStringLiteral("b"), nullptr, 2, {});
        QCOMPARE(other.Caption(), QStringLiteral("未选"));
        QSignalSpy changes(&other, &TChoiceListLabel::OnChange);
        other.SetStyle(1);
        QCOMPARE(other.Caption(), QStringLiteral("b"));
        QCOMPARE(other.CurrentIndex(), 1);
        QVERIFY(changes.count() >= 1);
    }

    void styleThreeIgnoresClicks()
    {
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral("one"), nullptr, 1, {});
        m_list->SetIndex(0);
        int clicked = 0;
        connect(m_list, &TCustomSymbol::OnClick, this, [&clicked] { ++clicked; });
        m_list->SetStyle(3);
        QSignalSpy chosen(m_list, &TChoiceListLabel::OnChoose);
        QSignalSpy changes(m_list, &TChoiceListLabel::OnChange);
        m_host->show();
        for (const int x : {10, 110})
            QTest::mouseClick(m_list, Qt::LeftButton, {}, QPoint(x, 10));
        QCOMPARE(clicked, 0);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(changes.count(), 0);
        QVERIFY(!m_list->ChoiceMenu()->isVisible());
    }

    // Which part of the label opens the menu and which re-chooses the current entry.
    void pressByStyle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<int>("chooses");
        QTest::newRow("0 arrow") << 0 << 110 << false << true << 0;
        QTest::newRow("0 text") << 0 << 20 << false << false << 1;
        QTest::newRow("0 separator") << 0 << 100 << false << false << 0;
        QTest::newRow("1 anywhere") << 1 << 110 << false << false << 1;
        QTest::newRow("2 anywhere") << 2 << 20 << false << true << 0;
        QTest::newRow("0 arrow locked") << 0 << 110 << true << false << 0;
        QTest::newRow("1 locked") << 1 << 20 << true << false << 0;
    }
    void pressByStyle()
    {
        QFETCH(int, style);
        QFETCH(int, x);
        QFETCH(bool, locked);
        QFETCH(bool, menu);
        QFETCH(int, chooses);
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral(" one "), nullptr, 1, {});
        m_list->AddChoice(QStringLiteral("two"), QStringLiteral("two"), nullptr, 2, {});
        m_list->SetIndex(1);
        m_list->SetStyle(style);
        m_list->SetLocked(locked);
        QSignalSpy chosen(m_list, &TChoiceListLabel::OnChoose);
        m_host->show();
        QTest::mousePress(m_list, Qt::LeftButton, {}, QPoint(x, 10));
        QCOMPARE(m_list->ChoiceMenu()->isVisible(), menu);
        QCOMPARE(chosen.count(), chooses);
        if (menu) {
            const QList<QAction *> items = m_list->ChoiceMenu()->actions();
            QCOMPARE(items.size(), 2);
            QCOMPARE(items.at(0)->text(), QStringLiteral("&one"));
            QCOMPARE(items.at(1)->text(), QStringLiteral("&two"));
            m_list->ChoiceMenu()->hide();
        }
    }

    void menuItemChooses()
    {
        int question = 0;
        m_list->ChooseValue1 = 7;
        m_list->ChooseValue2 = 8;
        m_list->AddChoice(QStringLiteral(" first "), QStringLiteral("first"), &question, 11, QStringLiteral("hint 1"));
        m_list->AddChoice(QStringLiteral(" second "), QStringLiteral("second"), &question, 22, QStringLiteral("hint 2"));
        QSignalSpy chosen(m_list, &TChoiceListLabel::OnChoose);
        QSignalSpy changes(m_list, &TChoiceListLabel::OnChange);
        m_host->show();
        QTest::mousePress(m_list, Qt::LeftButton, {}, QPoint(110, 10));
        QAction *second = m_list->ChoiceMenu()->actions().at(1);
        second->trigger();
        m_list->ChoiceMenu()->hide();
        QCOMPARE(chosen.count(), 1);
        const QList<QVariant> args = chosen.at(0);
        QCOMPARE(args.at(0).value<TChoiceListLabel *>(), m_list);
        QCOMPARE(args.at(1).value<void *>(), static_cast<void *>(&question));
        QCOMPARE(args.at(3).toInt(), 22);
        QCOMPARE(args.at(4).toInt(), 8); // ChooseValue2 comes first
        QCOMPARE(args.at(5).toInt(), 7);
        QCOMPARE(m_list->Caption(), QStringLiteral("second"));
        QCOMPARE(m_list->Current(), m_list->Choice(1));
        QCOMPARE(m_list->CurrentIndex(), 1);
        QCOMPARE(m_list->Tag(), 1);
        QCOMPARE(m_list->toolTip(), QStringLiteral("hint 2"));
        QVERIFY(!changes.isEmpty());
        QCOMPARE(changes.last().at(0).value<QObject *>(), static_cast<QObject *>(second));
    }

    void rejectedChoiceKeepsCurrent()
    {
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral("one"), nullptr, 1, {});
        m_list->AddChoice(QStringLiteral("two"), QStringLiteral("two"), nullptr, 2, {});
        m_list->SetIndex(0);
        connect(m_list, &TChoiceListLabel::OnChoose, this,
                [](TChoiceListLabel *, void *, bool *accept, qint32, int, int) { *accept = false; });
        QSignalSpy changes(m_list, &TChoiceListLabel::OnChange);
        QAction item;
        item.setData(1);
        m_list->Choose(&item);
        QCOMPARE(m_list->Caption(), QStringLiteral("one"));
        QCOMPARE(m_list->Current(), m_list->Choice(0));
        QCOMPARE(m_list->CurrentIndex(), 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).value<QObject *>(), static_cast<QObject *>(&item));
    }

    void handlerThatReplacesChoices()
    {
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral("one"), nullptr, 1, {});
        m_list->AddChoice(QStringLiteral("two"), QStringLiteral("two"), nullptr, 2, {});
        connect(m_list, &TChoiceListLabel::OnChoose, this,
                [this](TChoiceListLabel *, void *, bool *, qint32, int, int) {
                    m_list->ClearChoices();
                    m_list->AddChoice(QStringLiteral("x"), QStringLiteral("x"), nullptr, 9, {});
                    m_list->AddChoice(QStringLiteral("y"), QStringLiteral("y"), nullptr, 9, {});
                });
        QAction item;
        item.setData(1);
        m_list->Choose(&item);
        QCOMPARE(m_list->Caption(), QStringLiteral("未选"));
        QVERIFY(!m_list->Current());
    }

    void chooseOutOfRange_data()
    {
        QTest::addColumn<int>("tag");
        QTest::newRow("none") << -1;
        QTest::newRow("past end") << 2;
    }
    void chooseOutOfRange()
    {
        QFETCH(int, tag);
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral("one"), nullptr, 1, {});
        m_list->AddChoice(QStringLiteral("two"), QStringLiteral("two"), nullptr, 2, {});
        QSignalSpy chosen(m_list, &TChoiceListLabel::OnChoose);
        QSignalSpy changes(m_list, &TChoiceListLabel::OnChange);
        QAction item;
        item.setData(tag);
        m_list->Choose(&item);
        m_list->SetIndex(tag);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(m_list->Caption(), QStringLiteral("未选"));
    }

    void clearChoices()
    {
        m_list->AddChoice(QStringLiteral("one"), QStringLiteral("one"), nullptr, 1, {});
        m_list->SetIndex(0);
        QCOMPARE(m_list->Caption(), QStringLiteral("one"));
        m_list->ClearChoices();
        QCOMPARE(m_list->ChoiceCount(), 0);
        QVERIFY(!m_list->Current());
        QCOMPARE(m_list->Caption(), QStringLiteral("未选"));
    }

    void autoHotKeys_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("distinct") << QStringList{"apple", "berry"} << QStringList{"&apple", "&berry"};
        QTest::newRow("shared first letter") << QStringList{"apple", "Avocado"}
                                             << QStringList{"&apple", "A&vocado"};
        QTest::newRow("ampersand") << QStringList{"a&b"} << QStringList{"&a&&b"};
        QTest::newRow("chinese") << QStringList{"苹果", "梨1"} << QStringList{"苹果", "梨&1"};
    }
    void autoHotKeys()
    {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, items);
        QCOMPARE(TChoiceListLabel::AutoHotKeys(captions), items);
    }

    // The letter cell at the top-left of the bounds, the text view beside it.
    void choiceLayout_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<bool>("covered");
        QTest::newRow("letter") << 2 << false << false;
        QTest::newRow("check box") << 2 << true << false;
        QTest::newRow("covered") << 2 << false << true;
        QTest::newRow("no letter") << 0 << false << false;
    }
    void choiceLayout()
    {
        QFETCH(int, number);
        QFETCH(bool, checkBox);
        QFETCH(bool, covered);
        TMarovekChoice1 choice(m_host.get());
        choice.Text()->setPlainText(QStringLiteral("an answer"));
        choice.Letter()->SetNumber(number);
        choice.Letter()->SetCheckBox(checkBox);
        choice.SetCovered(covered);
        const QRect bounds(20, 30, 200, 40);
        choice.SetBounds(bounds);
        QVERIFY(choice.Text()->isHidden());
        choice.SetShown(true);
        QVERIFY(!choice.Text()->isHidden());
        QCOMPARE(choice.Letter()->isHidden(), number == 0);
        QCOMPARE(choice.Cover()->isHidden(), !(covered && number > 0));
        if (number == 0) {
            QCOMPARE(choice.Text()->geometry(), bounds);
            return;
        }
        const QFontMetrics metrics(choice.Letter()->font());
        const int w = metrics.horizontalAdvance(QStringLiteral("(A)")) + (checkBox ? 15 : 0) + 5;
        const QRect cell(bounds.topLeft(), QSize(w, metrics.boundingRect(QStringLiteral("G")).height() + 2));
        if (covered) {
            QCOMPARE(choice.Cover()->geometry(), cell);
            QCOMPARE(choice.Letter()->parentWidget(), choice.Cover());
            QCOMPARE(choice.Letter()->geometry(), QRect(QPoint(0, 0), cell.size()));
        } else {
            QCOMPARE(choice.Letter()->geometry(), cell);
        }
        QCOMPARE(choice.Text()->geometry(), QRect(bounds.x() + w, bounds.y(), bounds.width() - w, bounds.height()));
        QTextCursor cursor(choice.Text()->document());
        cursor.movePosition(QTextCursor::End);
        QCOMPARE(cursor.charFormat().fontFamilies().toStringList().value(0), choice.Letter()->font().family());
        QVERIFY(choice.Text()->isReadOnly());
        QVERIFY(!choice.Text()->textCursor().hasSelection());

        choice.SetShown(false);
        QVERIFY(choice.Text()->isHidden());
        QVERIFY(choice.Letter()->isHidden());
        QVERIFY(choice.Cover()->isHidden());
    }

    void choiceLetterPress_data()
    {
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("chooses");
        QTest::newRow("plain") << false << false << false << true;
        QTest::newRow("already selected") << false << true << false << false;
        QTest::newRow("check box selected") << true << true << false << true;
        QTest::newRow("locked") << false << false << true << false;
    }
    void choiceLetterPress()
    {
        QFETCH(bool, checkBox);
        QFETCH(bool, selected);
        QFETCH(bool, locked);
        QFETCH(bool, chooses);
        TMarovekChoice1 choice(m_host.get());
        choice.ChoiceValue1 = 3;
        choice.ChoiceValue2 = 4;
        choice.Letter()->SetNumber(1);
        choice.Letter()->SetCheckBox(checkBox);
        choice.Letter()->SetSelected(selected);
        choice.SetLocked(locked);
        choice.SetBounds(QRect(0, 0, 200, 40));
        choice.SetShown(true);
        m_host->show();
        QSignalSpy spy(&choice, &TMarovekChoice1::OnChoose);
        QTest::mousePress(choice.Letter(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(spy.count(), chooses ? 1 : 0);
        if (chooses)
            QCOMPARE(spy.at(0), (QList<QVariant>{3, 4}));
    }

    void choiceFreesItsControls()
    {
        QPointer<TChoiceLabel> letter;
        QPointer<QWidget> text;
        {
            TMarovekChoice1 choice(m_host.get());
            letter = choice.Letter();
            text = choice.Text();
            choice.SetCovered(true);
            choice.Letter()->SetNumber(1);
            choice.SetShown(true);
        }
        QVERIFY(!letter);
        QVERIFY(!text);
        // And a parent that goes first leaves nothing dangling.
        auto parent = std::make_unique<QWidget>();
        TMarovekChoice1 orphan(nullptr);
        TMarovekChoiceList blank(parent.get());
        blank.Label();
        parent.reset();
        QVERIFY(!blank.Cover());
    }

    void choiceListLayout()
    {
        TMarovekChoiceList blank(m_host.get());
        const QRect bounds(50, 60, 100, 22);
        blank.SetBounds(bounds);
        TChoiceListLabel *label = blank.Label();
        QCOMPARE(blank.Label(), label); // made once
        QCOMPARE(label->parentWidget(), m_host.get());
        blank.SetShown(true);
        QCOMPARE(label->geometry(), bounds);
        QVERIFY(!label->isHidden());
        QVERIFY(blank.Cover()->isHidden());

        blank.SetCovered(true);
        QCOMPARE(blank.Cover()->geometry(), bounds);
        QCOMPARE(label->parentWidget(), blank.Cover());
        QCOMPARE(label->geometry(), QRect(QPoint(0, 0), bounds.size()));
        QVERIFY(!blank.Cover()->isHidden());

        const QRect moved(70, 80, 120, 22);
        blank.SetBounds(moved);
        QCOMPARE(blank.Cover()->geometry(), moved);
        QVERIFY(!label->isHidden());
        blank.SetShown(false);
        QVERIFY(label->isHidden());
        QVERIFY(blank.Cover()->isHidden());
    }

    void screenshot()
    {
        const QString binDir = qEnvironmentVariable("VOCAMO_BIN_DIR");
        if (binDir.isEmpty())
            QSKIP("VOCAMO_BIN_DIR is not set");
        QWidget canvas;
        canvas.resize(460, 190);
        canvas.setAutoFillBackground(true);
        QPalette palette = canvas.palette();
        palette.setColor(QPalette::Window, QColor(0xF4, 0xF1, 0xE8));
        canvas.setPalette(palette);

        auto *word = new TWordSymbol(&canvas);
        QFont font = word->font();
        font.setPointSize(20);
        word->setFont(font);
        word->SetSymbolFontSize(16);
        word->SetTransparent(true);
        word->move(12, 10);
        word->SetCaption(QStringLiteral("pronunciation"));
        word->SetSymbol(QStringLiteral("prəˌnʌnsiˈeɪʃn"));

        TMarovekChoice1 choice(&canvas);
        choice.Letter()->SetNumber(2);
        choice.Letter()->SetCheckBox(true);
        choice.Letter()->SetSelected(true);
        choice.Letter()->SetTransparent(true);
        choice.Text()->setPlainText(QStringLiteral("the way a word is spoken 发音"));
        choice.SetBounds(QRect(12, 70, 430, 40));
        choice.SetShown(true);

        TMarovekChoiceList blank(&canvas);
        blank.Label()->AddChoice(QStringLiteral("spoken"), QStringLiteral("spoken"), nullptr, 1, {});
        blank.Label()->SetIndex(0);
        blank.SetBounds(QRect(12, 130, 140, 26));
        blank.SetShown(true);

        const QString folder = QDir(binDir).absoluteFilePath(QStringLiteral("../screenshots"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = QDir(folder).filePath(QStringLiteral("symbols.png"));
        QVERIFY(canvas.grab().save(file));
        QVERIFY(QFileInfo(file).size() > 0);
    }

private:
    std::unique_ptr<QWidget> m_host;
    TChoiceListLabel *m_list = nullptr;
};

QTEST_MAIN(TestChoices)
#include "tst_choices.moc"
