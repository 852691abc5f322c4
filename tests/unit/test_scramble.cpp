// Traffic scrambling: the key, hand-worked vectors of each step, the decoder's own rules, round
// trips and the length limit.
#include "net/scramble.h"
#include "text/cp932.h"

#include <QRandomGenerator>
#include <QTest>

class ScrambleTest : public QObject {
    Q_OBJECT
private slots:
    void keyIsTheAbsoluteSignedByteSum();
    void handWorkedVectors();
    void equalPasswordByteIsKeptAndComesBack();
    void emptyPasswordStandsForTheFallback();
    void decoderRefusesWhatIsNotAScrambledForm_data();
    void decoderRefusesWhatIsNotAScrambledForm();
    void decoderTakesEqualsAsZeroAnywhere();
    void randomTextsRoundTrip();
    void lengthLimit();
};

void ScrambleTest::keyIsTheAbsoluteSignedByteSum() {
    QCOMPARE(Net::DeriveKey("abc"), 97 + 98 + 99);
    QCOMPARE(Net::DeriveKey(""), 0);
    // "あい" is 82 A0 82 A2: (-126) + (-96) + (-126) + (-94) = -442.
    QCOMPARE(Net::DeriveKey(QByteArray("\x82\xA0\x82\xA2")), 442);
    // Full-width "ＡＢＣ" is 82 60 82 61 82 62: three times -126 plus 96 + 97 + 98 = -87.
    QCOMPARE(Net::DeriveKey(Cp932::encode(u"ＡＢＣ")), 87);
    // Half-width katakana are single negative bytes: ｱ (B1) is -79, with "a" (97) the sum is +18.
    QCOMPARE(Net::DeriveKey(QByteArray("\xB1" "a")), 18);
    QCOMPARE(Net::fallbackPassword(), QStringLiteral("空欄時の代用合言葉"));
}

void ScrambleTest::handWorkedVectors() {
    // "ab", password "a" (key 97, one byte so every position uses 61): interleave keeps 61 62,
    // rotation right gives 30 B1 (the first byte takes the last one's low bit 0, the second
    // takes 61's low bit 1), mixing gives 51 D0, and Base64 of 51 D0 is "UdA=".
    QCOMPARE(*Net::Scramble("ab", "a", 97), QByteArray("UdA="));
    // "abcdef", password "A" (41): interleave adbecf = 61 64 62 65 63 66, rotation right gives
    // 30 B2 31 32 B1 B3, mixing with 41 gives 71 F3 70 73 F0 F2 = "cfNw" "c/Dy".
    QCOMPARE(*Net::Scramble("abcdef", "A", 65), QByteArray("cfNwc/Dy"));
    // A one-byte text: 41 rotates onto itself as A0, mixes with 70 to D0: four characters, "==".
    const QByteArray one = *Net::Scramble("A", "p", 0x70);
    QCOMPARE(one, QByteArray("0A=="));
    // The key picks the first password byte: "xy" has key 241, 241 mod 2 = 1 starts at "y" (79):
    // 30^79 = 49, B1^78 = C9 = "Sck="; key 0 starts at "x": 48 C8 = "SMg=".
    QCOMPARE(*Net::Scramble("ab", "xy", Net::DeriveKey("xy")), QByteArray("Sck="));
    QCOMPARE(*Net::Scramble("ab", "xy", 0), QByteArray("SMg="));
    // And back.
    QCOMPARE(Net::Unscramble("UdA=", "a", 97), QByteArray("ab"));
    QCOMPARE(Net::Unscramble("cfNwc/Dy", "A", 65), QByteArray("abcdef"));
    QCOMPARE(Net::Unscramble("0A==", "p", 0x70), QByteArray("A"));
    QCOMPARE(Net::Unscramble("Sck=", "xy", 241), QByteArray("ab"));
    // An odd length keeps its last byte last: abcde interleaves to acbde.
    QCOMPARE(Net::Unscramble(*Net::Scramble("abcde", "pw", 7), "pw", 7), QByteArray("abcde"));
}

void ScrambleTest::equalPasswordByteIsKeptAndComesBack() {
    // 82 rotates to 41, which equals the password byte "A": it is sent as 41 ("QQ==") unchanged.
    QCOMPARE(*Net::Scramble("\x82", "A", 65), QByteArray("QQ=="));
    QCOMPARE(Net::Unscramble("QQ==", "A", 65), QByteArray("\x82"));
    // A rotated zero byte cannot be told apart from it: plain 00 comes back as 82.
    QCOMPARE(*Net::Scramble(QByteArray(1, '\0'), "A", 65), QByteArray("QQ=="));
    // No scrambled byte is ever zero, whatever the text.
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QByteArray raw = QByteArray::fromBase64(*Net::Scramble(all, "A", 65));
    QCOMPARE(raw.size(), all.size());
    QVERIFY(!raw.contains('\0'));
}

void ScrambleTest::emptyPasswordStandsForTheFallback() {
    const QByteArray fallback = Cp932::encode(Net::fallbackPassword());
    const int key = Net::DeriveKey(fallback);
    QVERIFY(key > 0);
    const QByteArray text = Cp932::encode(u"本日は晴天なり");
    QCOMPARE(*Net::Scramble(text, "", 0), *Net::Scramble(text, fallback, key));
    QCOMPARE(Net::Unscramble(*Net::Scramble(text, fallback, key), "", 0), text);
}

void ScrambleTest::decoderRefusesWhatIsNotAScrambledForm_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("five bytes") << QByteArray("UdA=U");
    QTest::newRow("three bytes") << QByteArray("UdA");
    QTest::newRow("minus") << QByteArray("Ud-=");
    QTest::newRow("url-safe underscore") << QByteArray("Ud_=");
    QTest::newRow("bad character in a later group") << QByteArray("UdA=QQ=.");
    QTest::newRow("space") << QByteArray("Ud A");
    QTest::newRow("line break") << QByteArray("UdA=\r\nQQ");
    QTest::newRow("plain text of four letters") << QByteArray("\x82\xA0\x82\xA2");
    QTest::newRow("all padding") << QByteArray("====");
    QTest::newRow("zero bytes only") << QByteArray("AAAAAAAA");
}

void ScrambleTest::decoderRefusesWhatIsNotAScrambledForm() {
    QFETCH(QByteArray, text);
    QCOMPARE(Net::Unscramble(text, "A", 65), QByteArray());
}

void ScrambleTest::decoderTakesEqualsAsZeroAnywhere() {
    // "Q=Q=" is 16 0 16 0: bytes 40 04 00, the zero ending the group. Unmixed with 41: 01 45;
    // rotated left: 02 8A; de-interleaved (h = 1): 02 8A.
    QCOMPARE(Net::Unscramble("Q=Q=", "A", 65), QByteArray("\x02\x8A"));
    // Padding in the middle ends only its own group; a group of zeros contributes nothing.
    QCOMPARE(Net::Unscramble("QQ==QQ==", "A", 65), QByteArray("\x82\x82"));
    QCOMPARE(Net::Unscramble("AAAAQQ==", "A", 65), QByteArray("\x82"));
    // "QQAQ" is 41 00 10: the zero ends the group, so the 10 after it is dropped too.
    QCOMPARE(Net::Unscramble("QQAQ", "A", 65), QByteArray("\x82"));
}

void ScrambleTest::randomTextsRoundTrip() {
    QRandomGenerator rng(20240611);
    const QByteArray alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    for (int round = 0; round < 400; ++round) {
        const int n = round < 20 ? round + 1 : int(rng.bounded(1, int(Net::kMaxScramblePlain) + 1));
        QByteArray plain(n, Qt::Uninitialized);
        for (char& c : plain) c = char(rng.bounded(2, 256));  // no 00 or 01: see the rotation rule
        QByteArray password(int(rng.bounded(1, 255)), Qt::Uninitialized);
        for (char& c : password) c = char(rng.bounded(1, 256));
        const int key = Net::DeriveKey(password);
        const auto scrambled = Net::Scramble(plain, password, key);
        QVERIFY(scrambled);
        QCOMPARE(scrambled->size(), 4 * ((n + 2) / 3));
        const qsizetype pad = scrambled->size() - scrambled->indexOf('=');
        for (qsizetype i = 0; i < scrambled->size(); ++i) {
            const char c = scrambled->at(i);
            QVERIFY2(alphabet.contains(c) || (c == '=' && pad <= 2 && i >= scrambled->size() - pad),
                     qPrintable(QStringLiteral("round %1 byte %2").arg(round).arg(i)));
        }
        QCOMPARE(Net::Unscramble(*scrambled, password, key), plain);
        if (n > 3) QVERIFY(Net::Unscramble(*scrambled, password + 'x', key + 120) != plain);
    }
    // Japanese text with the design-time password.
    const QByteArray password = Cp932::encode(Net::defaultPassword());
    const QByteArray text = Cp932::encode(u"こんにちは、ﾊﾝｶｸも「記号」も１２３abc");
    QCOMPARE(Net::Unscramble(*Net::Scramble(text, password, Net::DeriveKey(password)), password,
                             Net::DeriveKey(password)),
             text);
}

void ScrambleTest::lengthLimit() {
    QCOMPARE(*Net::Scramble("", "A", 65), QByteArray());
    const QByteArray longest(int(Net::kMaxScramblePlain), 'x');
    const auto ok = Net::Scramble(longest, "A", 65);
    QVERIFY(ok);
    QCOMPARE(ok->size(), 2044);
    QCOMPARE(Net::Unscramble(*ok, "A", 65), longest);
    QVERIFY(!Net::Scramble(longest + 'x', "A", 65));
}

QTEST_GUILESS_MAIN(ScrambleTest)
#include "test_scramble.moc"
