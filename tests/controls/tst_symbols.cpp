#include "controls/MarovekComponent.h"

#include "platform/gui/Colors.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

bool isDark(QRgb pixel)
{
    return qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 100;
}

// First and last row of `image` holding a dark pixel (-1, -1 when none).
QPair<int, int> darkRows(const QImage &image)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isDark(image.pixel(x, y))) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

// A label on white with black text, so painting can be read back from its pixels.
void makeReadable(TCustomSymbol *label)
{
    label->SetColor(0x00FFFFFF);
    label->SetFontColor(0x00000000);
}

} // namespace

class TestSymbols : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_host = std::make_unique<QWidget>();
        m_host->resize(400, 200);
        m_label = new TWordSymbol(m_host.get());
        m_label->setObjectName(QStringLiteral("lblWord"));
        QFont font = m_label->font();
        font.setPointSize(14);
        m_label->setFont(font);
        m_label->SetSymbolFontSize(14);
    }
    void cleanup() { m_host.reset(); }

    void creationDefaults()
    {
        TWordSymbol label;
        QCOMPARE(label.size(), QSize(65, 17));
        QVERIFY(label.AutoSize());
        QVERIFY(label.ShowAccelChar());
        QVERIFY(!label.Transparent());
        QVERIFY(!label.WordWrap());
        QCOMPARE(label.SymbolFontSize(), TCustomSymbol::FontPointSize(label.font()));
        QVERIFY(!label.autoFillBackground());
    }

    void symbolStorage_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("letters") << "abc" << "  abc " << "abc";
        QTest::newRow("empty") << "" << "   " << "";
        QTest::newRow("padded") << " ei " << "   ei  " << "ei";
        QTest::newRow("ipa") << "ˈæpl" << "  ˈæpl " << "ˈæpl";
    }
    void symbolStorage()
    {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        QFETCH(QString, trimmed);
        m_label->SetSymbol(value);
        QCOMPARE(m_label->Symbol(), stored);
        QCOMPARE(m_label->GetSymbol(), trimmed);
    }

    // Auto size: caption, a gap of 10 and the symbol; the symbol sits on the bottom edge.
    void autoSizeWithSymbol_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("caption and symbol") << "apple" << "abc";
        QTest::newRow("long symbol") << "go" << "ɡəʊ ɡəʊ ɡəʊ";
        QTest::newRow("blank caption") << "" << "abc";
        QTest::newRow("no symbol") << "apple" << "";
    }
    void autoSizeWithSymbol()
    {
        QFETCH(QString, caption);
        QFETCH(QString, symbol);
        m_label->SetCaption(caption);
        m_label->SetSymbol(symbol);
        const QFontMetrics captionMetrics(m_label->font());
        const QFontMetrics symbolMetrics(m_label->SymbolFont());
        // An empty caption is measured as one blank.
        const int captionWidth =
            caption.isEmpty() ? captionMetrics.boundingRect(QRect(0, 0, 100, 100), 0, " ").width()
                              : captionMetrics.horizontalAdvance(caption);
        const int symbolWidth = symbolMetrics.horizontalAdvance(m_label->Symbol());
        QCOMPARE(m_label->height(), captionMetrics.height());
        if (symbol.isEmpty()) {
            QCOMPARE(m_label->width(), captionWidth);
            QCOMPARE(m_label->RealWidth(), captionWidth + 20);
            return;
        }
        const int gap = caption.isEmpty() ? 0 : 10;
        QCOMPARE(m_label->SymbolLeft(), captionWidth + gap);
        QCOMPARE(m_label->width(), captionWidth + gap + symbolWidth);
        QCOMPARE(m_label->SymbolRight(), m_label->width());
        QCOMPARE(m_label->SymbolTop() + symbolMetrics.height(), m_label->height());
        QCOMPARE(m_label->RealWidth(), (caption.isEmpty() ? 0 : captionWidth + 20) + symbolWidth);
        QCOMPARE(m_label->sizeHint(), m_label->size());
    }

    void autoSizeGrowsWithText()
    {
        m_label->SetCaption(QStringLiteral("a"));
        const int small = m_label->width();
        m_label->SetCaption(QStringLiteral("a much longer caption"));
        const int withCaption = m_label->width();
        QVERIFY(withCaption > small);
        m_label->SetSymbol(QStringLiteral("əˈlɔŋɡə"));
        QVERIFY(m_label->width() > withCaption + 10);
    }

    void noAutoSizeKeepsBounds()
    {
        m_host->show();
        m_label->show();
        m_label->SetAutoSize(false);
        m_label->setGeometry(5, 6, 300, 60);
        m_label->SetCaption(QStringLiteral("word"));
        m_label->SetSymbol(QStringLiteral("wɜːd"));
        QCOMPARE(m_label->geometry(), QRect(5, 6, 300, 60));
        QCOMPARE(m_label->SymbolTop() + QFontMetrics(m_label->SymbolFont()).height(), 60);
        m_label->resize(300, 90);
        QCOMPARE(m_label->SymbolTop() + QFontMetrics(m_label->SymbolFont()).height(), 90);
    }

    void rightAlignedKeepsRightEdge()
    {
        m_label->SetAlignment(TCustomSymbol::TAlignment::Right);
        m_label->SetCaption(QStringLiteral("x"));
        m_label->move(200, 10);
        const int right = m_label->x() + m_label->width();
        m_label->SetCaption(QStringLiteral("a wider caption"));
        QCOMPARE(m_label->x() + m_label->width(), right);
        QVERIFY(m_label->x() < 200);
    }

    void symbolFontSize_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("expected");
        QTest::newRow("larger than font is ignored") << 20 << 14;
        QTest::newRow("smaller is taken") << 10 << 10;
        QTest::newRow("equal to font") << 14 << 14;
    }
    void symbolFontSize()
    {
        QFETCH(int, requested);
        QFETCH(int, expected);
        m_label->SetSymbol(QStringLiteral("abc"));
        const int widthBefore = m_label->width();
        m_label->SetSymbolFontSize(requested);
        QCOMPARE(m_label->SymbolFontSize(), expected);
        QCOMPARE(m_label->SymbolFont().pointSize(), expected);
        if (expected == 14)
            QCOMPARE(m_label->width(), widthBefore);
        else
            QVERIFY(m_label->width() < widthBefore);
    }

    void smallerFontShrinksSymbol()
    {
        QFont font = m_label->font();
        font.setPointSize(9);
        m_label->setFont(font);
        QCOMPARE(m_label->SymbolFontSize(), 9);
    }

    // The bracket pens are 2 pixels wide above 14 points.
    void bracketPenWidth_data()
    {
        QTest::addColumn<int>("symbolSize");
        QTest::addColumn<int>("penWidth");
        QTest::newRow("15 points") << 15 << 2;
        QTest::newRow("14 points") << 14 << 1;
        QTest::newRow("9 points") << 9 << 1;
    }
    void bracketPenWidth()
    {
        QFETCH(int, symbolSize);
        QFETCH(int, penWidth);
        QFont font = m_label->font();
        font.setPointSize(24);
        m_label->setFont(font);
        makeReadable(m_label);
        m_label->SetCaption(QStringLiteral("w"));
        m_label->SetSymbolFontSize(symbolSize);
        m_label->SetSymbol(QStringLiteral("abc"));
        const QImage image = m_label->grab().toImage();
        const int row = (m_label->SymbolTop() + m_label->height()) / 2;
        int dark = 0;
        for (int x = m_label->SymbolLeft(); x <= m_label->SymbolLeft() + 4; ++x)
            dark += isDark(image.pixel(x, row)) ? 1 : 0;
        QCOMPARE(dark, penWidth);
        // The right bracket closes the symbol at its right edge.
        QVERIFY(isDark(image.pixel(m_label->SymbolRight() - 1, row)));
    }

    void layoutPlacesCaption_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("firstMin");
        QTest::addColumn<int>("lastMax");
        QTest::newRow("top") << int(TCustomSymbol::TTextLayout::Top) << 0 << 40;
        QTest::newRow("centre") << int(TCustomSymbol::TTextLayout::Center) << 20 << 60;
        QTest::newRow("bottom") << int(TCustomSymbol::TTextLayout::Bottom) << 40 << 80;
    }
    void layoutPlacesCaption()
    {
        QFETCH(int, layout);
        QFETCH(int, firstMin);
        QFETCH(int, lastMax);
        makeReadable(m_label);
        m_label->SetAutoSize(false);
        m_label->setGeometry(0, 0, 120, 80);
        m_label->SetCaption(QStringLiteral("Hg"));
        m_label->SetLayout(TCustomSymbol::TTextLayout(layout));
        const auto [first, last] = darkRows(m_label->grab().toImage());
        QVERIFY(first >= firstMin);
        QVERIFY(last < lastMax);
    }

    void transparentLetsParentShow()
    {
        m_host->setAutoFillBackground(true);
        QPalette palette = m_host->palette();
        palette.setColor(QPalette::Window, Qt::red);
        m_host->setPalette(palette);
        m_label->SetCaption(QStringLiteral("."));
        m_label->move(10, 10);
        m_label->SetColor(0x00FF0000); // blue
        const QPoint probe(m_label->width() - 1, 0);
        QCOMPARE(m_host->grab().toImage().pixel(probe + m_label->pos()), QColor(Qt::blue).rgb());
        m_label->SetTransparent(true);
        QCOMPARE(m_host->grab().toImage().pixel(probe + m_label->pos()), QColor(Qt::red).rgb());
    }

    void accelMovesFocus()
    {
        auto *edit = new QLineEdit(m_host.get());
        edit->move(200, 100);
        auto *other = new QLineEdit(m_host.get());
        other->move(200, 150);
        m_label->SetCaption(QStringLiteral("&Name"));
        m_label->SetFocusControl(edit);
        m_host->show();
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        other->setFocus();
        QTest::keyClick(m_host.get(), Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), edit);

        other->setFocus();
        m_label->SetShowAccelChar(false);
        QTest::keyClick(m_host.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), other);
    }

    void clickSignals()
    {
        m_label->SetCaption(QStringLiteral("click me"));
        QSignalSpy clicks(m_label, &TCustomSymbol::OnClick);
        QSignalSpy downs(m_label, &TCustomSymbol::OnMouseDown);
        QTest::mouseClick(m_label, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(downs.count(), 1);
        QCOMPARE(downs.at(0).at(1).toPoint(), QPoint(3, 3));
        QTest::mouseClick(m_label, Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(downs.count(), 2);
    }

    void optionArrowOpensMenu_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("showArrow");
        QTest::addColumn<bool>("opens");
        QTest::newRow("on the arrow") << 110 << true << true;
        QTest::newRow("left of the arrow") << 50 << true << false;
        QTest::newRow("arrow hidden") << 110 << false << false;
    }
    void optionArrowOpensMenu()
    {
        QFETCH(int, x);
        QFETCH(bool, showArrow);
        QFETCH(bool, opens);
        auto *label = new TMultiOptionLabel(m_host.get());
        label->SetAutoSize(false);
        label->setGeometry(0, 0, 120, 20);
        label->Options() << QStringLiteral("名词") << QStringLiteral("动词");
        QMenu menu;
        menu.addAction(QStringLiteral("stale"));
        label->SetTypeMenu(&menu);
        label->SetShowArrow(showArrow);
        m_host->show();
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(x, 10));
        QCOMPARE(menu.isVisible(), opens);
        if (!opens)
            return;
        const QList<QAction *> items = menu.actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(1)->text(), QStringLiteral("动词"));
        QSignalSpy spy(label, &TMultiOptionLabel::OnOptionClick);
        items.at(1)->trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QAction *>(), items.at(1));
        menu.hide();
    }

    void openOptionsAt_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("opens");
        QTest::newRow("inside") << QPoint(105, 5) << true;
        QTest::newRow("left edge") << QPoint(100, 0) << true;
        QTest::newRow("right of control") << QPoint(120, 5) << false;
        QTest::newRow("caption") << QPoint(99, 5) << false;
        QTest::newRow("below") << QPoint(105, 20) << false;
    }
    void openOptionsAt()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, opens);
        TMultiOptionLabel label;
        label.SetAutoSize(false);
        label.resize(120, 20);
        label.Options() << QStringLiteral("one");
        QCOMPARE(label.OpenOptionsAt(point), false); // no menu yet
        QMenu menu;
        label.SetTypeMenu(&menu);
        QCOMPARE(label.OpenOptionsAt(point), opens);
        QCOMPARE(menu.actions().size(), opens ? 1 : 0);
        menu.hide();
    }

    void typeMenuIsFreeNotified()
    {
        TMultiOptionLabel label;
        auto menu = std::make_unique<QMenu>();
        label.SetTypeMenu(menu.get());
        menu.reset();
        QVERIFY(!label.TypeMenu());
        QVERIFY(!label.OpenOptionsAt(QPoint(label.width() - 5, 5)));
    }

    void arrowIsPainted()
    {
        TMultiOptionLabel label;
        makeReadable(&label);
        label.SetAutoSize(false);
        label.resize(120, 20);
        QVERIFY(!isDark(label.grab().toImage().pixel(110, 8)));
        label.SetShowArrow(true);
        QVERIFY(isDark(label.grab().toImage().pixel(110, 8)));
    }

    void decorateHoverFrame()
    {
        auto *button = new TDecorateButton(m_host.get());
        makeReadable(button);
        button->SetAutoSize(false);
        button->setGeometry(10, 10, 60, 24);
        QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
        QApplication::sendEvent(button, &enter);
        QVERIFY(button->Hover());
        const QImage hovered = button->grab().toImage();
        QCOMPARE(hovered.pixel(0, 5), button->palette().color(QPalette::Light).rgb());
        QCOMPARE(hovered.pixel(59, 5), button->palette().color(QPalette::Dark).rgb());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QVERIFY(!button->Hover());
        QCOMPARE(button->grab().toImage().pixel(0, 5), QColor(Qt::white).rgb());
    }

    void decorateRemembersEdges()
    {
        m_host->setAutoFillBackground(true);
        QPalette palette = m_host->palette();
        palette.setColor(QPalette::Window, QColor(0x20, 0x40, 0x60));
        m_host->setPalette(palette);
        auto *button = new TDecorateButton(m_host.get());
        button->SetAutoSize(false);
        button->SetTransparent(true);
        button->setGeometry(10, 10, 300, 24);
        QCOMPARE(button->EdgePixels().Count(), 800);
        QVERIFY(!button->EdgesSaved());
        m_host->grab();
        QVERIFY(button->EdgesSaved());
        const qint32 background = 0x00604020;
        QCOMPARE(button->EdgePixels().Get(0), background);
        QCOMPARE(button->EdgePixels().Get(199), background);  // only 200 of the 300 pixels
        QCOMPARE(button->EdgePixels().Get(400 + 23), background);
        QCOMPARE(button->EdgePixels().Get(400 + 24), 0);       // the button is 24 high
        QCOMPARE(button->CornerColour(), quint32(background));
    }

    void makeSymbolLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("status label") << "lblPrompt1" << true;
        QTest::newRow("decoration") << "lblDecorate1" << false;
        QTest::newRow("example decoration") << "lblExampleDecorate1" << false;
    }
    void makeSymbolLabel()
    {
        QFETCH(QString, name);
        QFETCH(bool, transparent);
        m_host->setProperty("tag", 0x00123456);
        m_host->show();
        TWordSymbol *made = MakeSymbolLabel(name, m_host.get());
        QCOMPARE(m_host->findChild<TWordSymbol *>(name), made);
        QVERIFY(made->isHidden());
        QCOMPARE(made->Color(), 0x00123456u);
        QVERIFY(!made->ParentColor());
        QCOMPARE(made->font().family(), QStringLiteral("Arial"));
        QCOMPARE(made->Layout(), TCustomSymbol::TTextLayout::Bottom);
        QVERIFY(!made->AutoSize());
        QVERIFY(!made->WordWrap());
        QCOMPARE(made->Transparent(), transparent);
        // Without auto size the label keeps the bounds a stored layout gives it.
        made->setGeometry(1, 2, 150, 30);
        made->SetCaption(QStringLiteral("书本名称"));
        QCOMPARE(made->geometry(), QRect(1, 2, 150, 30));
    }

private:
    std::unique_ptr<QWidget> m_host;
    TWordSymbol *m_label = nullptr;
};

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
