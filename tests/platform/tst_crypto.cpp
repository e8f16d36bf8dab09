#include "platform/Crypto.h"

#include <QtTest>

class TestCrypto : public QObject
{
    Q_OBJECT

private slots:
    void md2Vectors_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("digest");
        // The seven test vectors of RFC 1319.
        QTest::newRow("empty") << QByteArray("") << QByteArray("8350e5a3e24c153df2275c9f80692773");
        QTest::newRow("a") << QByteArray("a") << QByteArray("32ec01ec4a6dac72c0ab96fb34c0b5d1");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("da853b0d3f88d99b30283a69e6ded6bb");
        QTest::newRow("message digest") << QByteArray("message digest")
                                        << QByteArray("ab4f496bfb2a530b219ff33031fe06b0");
        QTest::newRow("a-z") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                             << QByteArray("4e8ddff3650292ab5a4108c3aa47940b");
        QTest::newRow("A-Za-z0-9")
            << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
            << QByteArray("da33def2a42df13975352846c30338cd");
        QTest::newRow("digits x8")
            << QByteArray("1234567890123456789012345678901234567890"
                          "1234567890123456789012345678901234567890")
            << QByteArray("d5976f79d83d3a0dc9806c3c66f3efd8");
    }
    void md2Vectors()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, digest);
        const QByteArray got = md2(message);
        QCOMPARE(got.size(), 16);
        QCOMPARE(got.toHex(), digest);
    }

    void aesKnownAnswer_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("cipher");
        // FIPS-197 appendix C: plaintext 00112233445566778899aabbccddeeff.
        QTest::newRow("AES-128") << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f")
                                 << QByteArray::fromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
        QTest::newRow("AES-192")
            << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f1011121314151617")
            << QByteArray::fromHex("dda97ca4864cdfe06eaf70a0ec0d7191");
        QTest::newRow("AES-256")
            << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f")
            << QByteArray::fromHex("8ea2b7ca516745bfeafc49904b496089");
    }
    void aesKnownAnswer()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, cipher);
        const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
        QCOMPARE(aesEcbEncrypt(plain, key).toHex(), cipher.toHex());
        const auto back = aesEcbDecrypt(cipher, key);
        QVERIFY(back.has_value());
        QCOMPARE(back->toHex(), plain.toHex());
        // ECB: two equal blocks encipher to two equal blocks, no chaining.
        QCOMPARE(aesEcbEncrypt(plain + plain, key), cipher + cipher);
    }

    void zeroFill_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("cipherLength");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("1") << 1 << 16;
        QTest::newRow("15") << 15 << 16;
        QTest::newRow("16, no extra block") << 16 << 16;
        QTest::newRow("17") << 17 << 32;
        QTest::newRow("20") << 20 << 32;
        QTest::newRow("32") << 32 << 32;
    }
    void zeroFill()
    {
        QFETCH(int, length);
        QFETCH(int, cipherLength);
        const QByteArray key("0123456789abcdef");
        QByteArray plain(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            plain[i] = char(0xA0 + i);
        const QByteArray cipher = aesEcbEncrypt(plain, key);
        QCOMPARE(cipher.size(), cipherLength);
        // The fill is zero bytes: enciphering the explicitly zero-filled data gives the same.
        QByteArray filled = plain;
        filled.append(cipherLength - length, '\0');
        QCOMPARE(cipher, aesEcbEncrypt(filled, key));
        const auto back = aesEcbDecrypt(cipher, key);
        QVERIFY(back.has_value());
        QCOMPARE(*back, filled);
    }

    void decryptRejects_data()
    {
        QTest::addColumn<QByteArray>("cipher");
        QTest::addColumn<QByteArray>("key");
        const QByteArray key16("0123456789abcdef");
        QTest::newRow("15 bytes") << QByteArray(15, 'a') << key16;
        QTest::newRow("17 bytes") << QByteArray(17, 'a') << key16;
        QTest::newRow("key 15") << QByteArray(16, 'a') << key16.left(15);
        QTest::newRow("key 20") << QByteArray(16, 'a') << QByteArray(20, 'k');
        QTest::newRow("key empty") << QByteArray(16, 'a') << QByteArray();
    }
    void decryptRejects()
    {
        QFETCH(QByteArray, cipher);
        QFETCH(QByteArray, key);
        QVERIFY(!aesEcbDecrypt(cipher, key).has_value());
    }

    void encryptWithBadKeyIsEmpty()
    {
        QVERIFY(aesEcbEncrypt("data", QByteArray(10, 'k')).isEmpty());
    }

    void emptyDecryptsToEmpty()
    {
        const auto back = aesEcbDecrypt({}, QByteArray(16, 'k'));
        QVERIFY(back.has_value());
        QVERIFY(back->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCrypto)
#include "tst_crypto.moc"
