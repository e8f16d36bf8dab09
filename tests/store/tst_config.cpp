#include "store/Config.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void initialValues()
    {
        const TConfig c;
        QCOMPARE(c.ReadingNote, 1);
        QCOMPARE(c.PronounceOnClick, true);
        QCOMPARE(c.PenColor, 0xFF0000u);
        QCOMPARE(c.StateCount, 4);
        QCOMPARE(c.RefillThreshold, 20);
        QCOMPARE(c.RefillSize, 60);
        QCOMPARE(c.RecentWindow, 8);
        QCOMPARE(c.DictationInterval, 5000);
        QCOMPARE(c.Addition, 0);
        QCOMPARE(c.ShowCenter, false);
        QCOMPARE(c.StateValue4, 0);
    }

    // An account record without any settings key gives every keyed field its default.
    void missingKeysGiveDefaults()
    {
        TConfig c;
        c.ApplyAccount(QJsonObject());
        QCOMPARE(c.ShowCenter, true);
        QCOMPARE(c.ShowExampleTrans, true);
        QCOMPARE(c.Pronounce, true);
        QCOMPARE(c.ShowTipPanel, true);
        QCOMPARE(c.IsUpperCase, false);
        QCOMPARE(c.Examining, false);
        QCOMPARE(c.ShowToolBar, true);
        QCOMPARE(c.UseDeskTop, true);
        QCOMPARE(c.AlwaysShowTrans, true);
        QCOMPARE(c.Addition, 56);
        QCOMPARE(c.InitialState, 1);
        QCOMPARE(c.DeskTopColor, 0u);
        QCOMPARE(c.StateValue4, -30000);
        QCOMPARE(c.FirstLineWidth, 175);
        QCOMPARE(c.QuestionKeyColor, 888888u);
        QCOMPARE(c.QuestionAnswerColor, 33023u);
        QCOMPARE(c.GeneralFontSize, 16);
        QCOMPARE(c.SecondValue, 1);
        QCOMPARE(c.FirstValue, 8);
        QCOMPARE(c.BookColor, 10987348u);
        QCOMPARE(c.FormWidth, 990);
        QCOMPARE(c.FormHeight, 818);
        QCOMPARE(c.Speed, 12);
        // Unkeyed fields keep their values.
        QCOMPARE(c.ShowExample, false);
        QCOMPARE(c.RefillSize, 60);
    }

    void accountValues_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("expected");

        QTest::newRow("addition kept") << QByteArray(R"({"User_Addition": 30})") << "Addition" << 30;
        QTest::newRow("addition at least 1") << QByteArray(R"({"User_Addition": 0})") << "Addition" << 1;
        QTest::newRow("addition null default") << QByteArray(R"({"User_Addition": null})") << "Addition" << 56;
        QTest::newRow("addition numeric text") << QByteArray(R"({"User_Addition": "40"})") << "Addition" << 40;
        QTest::newRow("addition bad text") << QByteArray(R"({"User_Addition": "many"})") << "Addition" << 56;
        QTest::newRow("first line width min 120") << QByteArray(R"({"User_FirstLineWidth": 50})") << "FirstLineWidth" << 120;
        QTest::newRow("font size min 13") << QByteArray(R"({"User_GeneralFontSize": 12})") << "GeneralFontSize" << 13;
        QTest::newRow("font size kept") << QByteArray(R"({"User_GeneralFontSize": 20})") << "GeneralFontSize" << 20;
        QTest::newRow("first value min 1") << QByteArray(R"({"User_FirstValue": -3})") << "FirstValue" << 1;
        QTest::newRow("second value 0 allowed") << QByteArray(R"({"User_SecondValue": 0})") << "SecondValue" << 0;
        QTest::newRow("speed min 1") << QByteArray(R"({"User_Speed": 0})") << "Speed" << 1;
        QTest::newRow("speed kept") << QByteArray(R"({"User_Speed": 24})") << "Speed" << 24;
        QTest::newRow("initial state") << QByteArray(R"({"User_InitialVocamoState": 11})") << "InitialState" << 11;
        QTest::newRow("form width no minimum") << QByteArray(R"({"User_FormWidth": 500})") << "FormWidth" << 500;
        QTest::newRow("colour") << QByteArray(R"({"User_BookColor": 255})") << "BookColor" << 255;
        QTest::newRow("fraction not whole") << QByteArray(R"({"User_FormHeight": 1.5})") << "FormHeight" << 818;
        QTest::newRow("flag false") << QByteArray(R"({"User_ShowCenter": false})") << "ShowCenter" << 0;
        QTest::newRow("flag as number") << QByteArray(R"({"User_ShowCenter": 0})") << "ShowCenter" << 0;
        QTest::newRow("flag as text") << QByteArray(R"({"User_IsUpperCase": "1"})") << "IsUpperCase" << 1;
        QTest::newRow("flag true") << QByteArray(R"({"User_Examining": true})") << "Examining" << 1;
        QTest::newRow("flag null") << QByteArray(R"({"User_UseDeskTop": null})") << "UseDeskTop" << 1;
    }

    void accountValues()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, field);
        QFETCH(int, expected);
        TConfig c;
        c.ApplyAccount(QJsonDocument::fromJson(json).object());
        const QHash<QString, int> values{
            {"Addition", c.Addition}, {"FirstLineWidth", c.FirstLineWidth},
            {"GeneralFontSize", c.GeneralFontSize}, {"FirstValue", c.FirstValue},
            {"SecondValue", c.SecondValue}, {"Speed", c.Speed}, {"InitialState", c.InitialState},
            {"FormWidth", c.FormWidth}, {"FormHeight", c.FormHeight},
            {"BookColor", int(c.BookColor)}, {"ShowCenter", int(c.ShowCenter)},
            {"IsUpperCase", int(c.IsUpperCase)}, {"Examining", int(c.Examining)},
            {"UseDeskTop", int(c.UseDeskTop)},
        };
        QVERIFY(values.contains(field));
        QCOMPARE(values.value(field), expected);
    }

    void stateItems_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("state");
        QTest::newRow("牢记") << 0 << 11;
        QTest::newRow("熟悉") << 1 << 1;
        QTest::newRow("认识") << 2 << 2;
        QTest::newRow("陌生") << 3 << 3;
    }

    void stateItems()
    {
        QFETCH(int, item);
        QFETCH(int, state);
        QCOMPARE(TConfig::StateFromItem(item), state);
        QCOMPARE(TConfig::ItemFromState(state), item);
    }

    void formSizeFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("large") << "1200" << 1200 << 1200;
        QTest::newRow("below minimum") << "800" << 920 << 800;
        QTest::newRow("below both") << "100" << 920 << 728;
        QTest::newRow("not a number") << "abc" << 990 << 818;
        QTest::newRow("empty") << "" << 990 << 818;
    }

    void formSizeFromText()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, height);
        QCOMPARE(TConfig::FormWidthFromText(text), width);
        QCOMPARE(TConfig::FormHeightFromText(text), height);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
