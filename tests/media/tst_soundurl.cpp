#include "media/SoundThread.h"

#include <QtTest>

class TestSoundUrl : public QObject
{
    Q_OBJECT
private slots:
    void rule_data();
    void rule();
    void withoutSyncClientIsRelative();
};

void TestSoundUrl::rule_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");

    const QString base = QStringLiteral("http://127.0.0.1:8080");
    const QString path = base + QStringLiteral("/KX5/English/Sound/");
    QTest::newRow("go") << "go" << base << path + "G/go.wav";
    QTest::newRow("Go") << "Go" << base << path + "G/go.wav";
    QTest::newRow("APPLE") << "APPLE" << base << path + "A/apple.wav";
    QTest::newRow("empty") << "" << base << "";
    QTest::newRow("marker kept") << "kkkkabc" << base << path + "K/kkkkabc.wav";
    QTest::newRow("marker inside") << "abckkkk" << base << path + "A/abckkkk.wav";
    QTest::newRow("base with slash") << "go" << base + "/" << path + "G/go.wav";
    QTest::newRow("base with prefix") << "go" << base + "/sounds"
                                      << base + "/sounds/KX5/English/Sound/G/go.wav";
    QTest::newRow("phrase") << "look up" << base << path + "L/look%20up.wav";
    QTest::newRow("apostrophe") << "O'Neil" << base << path + "O/o%27neil.wav";
    QTest::newRow("hyphen") << "well-known" << base << path + "W/well-known.wav";
    QTest::newRow("slash encoded") << "a/../b" << base << path + "A/a%2F..%2Fb.wav";
    QTest::newRow("question mark") << "why?" << base << path + "W/why%3F.wav";
    // Only ASCII letters are upper-cased for the folder.
    QTest::newRow("non-ascii first") << QStringLiteral("éclair") << base
                                     << path + "%C3%A9/%C3%A9clair.wav";
    QTest::newRow("digit first") << "3d" << base << path + "3/3d.wav";
}

void TestSoundUrl::rule()
{
    QFETCH(QString, word);
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QCOMPARE(SoundUrl(word, base), expected);
}

void TestSoundUrl::withoutSyncClientIsRelative()
{
    QCOMPARE(SoundUrl(QStringLiteral("Go")), QStringLiteral("KX5/English/Sound/G/go.wav"));
    QCOMPARE(SoundUrl(QString()), QString());
}

QTEST_GUILESS_MAIN(TestSoundUrl)
#include "tst_soundurl.moc"
