// Code page 932 conversion, byte rules, the character filter and the clock format.
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QTest>

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void everyCodeOfThePageRoundTrips();
    void duplicateCodesComeBackAsWindowsWritesThem();
    void charactersOutsideThePageBecomeAt();
    void bytesOutsideThePageDecodeToAt();
    void byteLengthCountsDoubleBytes();
    void cutsNeverSplitACharacter();
    void filterText_data();
    void filterText();
    void filterTextEndsAtNul();
    void formatClock_data();
    void formatClock();
};

void TextTest::everyCodeOfThePageRoundTrips() {
    // Single bytes: ASCII and half-width katakana.
    for (int b = 0; b < 0x100; ++b) {
        if (b >= 0x80 && !(b >= 0xA1 && b <= 0xDF)) continue;
        const QByteArray in(1, char(b));
        const QString s = Cp932::decode(in);
        QVERIFY2(s.size() == 1, qPrintable(QString::number(b, 16)));
        QCOMPARE(Cp932::encode(s), in);
    }
    // Double bytes: every pair the page defines decodes to one character and encodes back to itself
    // or, for the duplicates, to the code Windows writes; that code decodes to the same character.
    int defined = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!Cp932::isLeadByte(uchar(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            QByteArray in;
            in.append(char(lead)).append(char(trail));
            const QString s = Cp932::decode(in);
            if (s == QLatin1String("@@") || s.contains(u'@')) continue;  // not defined
            ++defined;
            QCOMPARE(s.size(), 1);
            const QByteArray back = Cp932::encode(s);
            QCOMPARE(back.size(), 2);
            QCOMPARE(Cp932::decode(back), s);
        }
    }
    // JIS X 0208 with NEC and IBM extensions and user-defined area: well over 7000 codes.
    QVERIFY2(defined > 7900, qPrintable(QString::number(defined)));
    // Japanese text, half-width katakana and symbols as a typist writes them.
    const QString text = QStringLiteral("文先頭　ﾊﾟｰﾄﾅｰ「①Ⅰ髙﨑」～－￢■◆");
    QCOMPARE(Cp932::decode(Cp932::encode(text)), text);
}

void TextTest::duplicateCodesComeBackAsWindowsWritesThem() {
    const QByteArray ibmFromNec("\xED\x40", 2);  // NEC-selected IBM extension 纊
    QCOMPARE(Cp932::encode(Cp932::decode(ibmFromNec)), QByteArray("\xFA\x5C", 2));
    const QByteArray necJisDuplicate("\x87\x90", 2);  // ≒ in the NEC row
    QCOMPARE(Cp932::encode(Cp932::decode(necJisDuplicate)), QByteArray("\x81\xE0", 2));
    QCOMPARE(Cp932::encode(QStringLiteral("∵")), QByteArray("\x81\xE6", 2));
    // Input methods here write the JIS forms; they land on the codes Windows uses for them.
    QCOMPARE(Cp932::encode(QStringLiteral("〜−")), QByteArray("\x81\x60\x81\x7C", 4));
}

void TextTest::charactersOutsideThePageBecomeAt() {
    QCOMPARE(Cp932::encode(QStringLiteral("a한b")), QByteArray("a@b"));
    QCOMPARE(Cp932::encode(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x@y"));  // surrogate pair: one "@"
    QCOMPARE(Cp932::encode(QStringLiteral("é")), QByteArray("@"));
    QCOMPARE(Cp932::encode(QString()), QByteArray());
}

void TextTest::bytesOutsideThePageDecodeToAt() {
    QCOMPARE(Cp932::decode(QByteArray("a\x80z")), QStringLiteral("a@z"));
    QCOMPARE(Cp932::decode(QByteArray("\xFD\xFE\xFF")), QStringLiteral("@@@"));
    QCOMPARE(Cp932::decode(QByteArray("ab\x82")), QStringLiteral("ab@"));  // lone lead byte at the end
    QCOMPARE(Cp932::decode(QByteArray("\x82\xA0")), QStringLiteral("あ"));
}

void TextTest::byteLengthCountsDoubleBytes() {
    QCOMPARE(Cp932::byteLength(QStringLiteral("abc")), 3);
    QCOMPARE(Cp932::byteLength(QStringLiteral("ｱｲｳ")), 3);
    QCOMPARE(Cp932::byteLength(QStringLiteral("文先頭　")), 8);
    QCOMPARE(Cp932::byteLength(QStringLiteral("a文ｱ")), 4);
    QCOMPARE(Cp932::byteLength(QStringLiteral("\r\n")), 2);
    QCOMPARE(Cp932::byteLength(QStringLiteral("한")), 1);  // stored as "@"
}

void TextTest::cutsNeverSplitACharacter() {
    const QByteArray s = Cp932::encode(QStringLiteral("aあいb"));  // a 82A0 82A2 b
    QCOMPARE(Cp932::safeCut(s, 1), 1);
    QCOMPARE(Cp932::safeCut(s, 2), 1);  // would split あ
    QCOMPARE(Cp932::safeCut(s, 3), 3);
    QCOMPARE(Cp932::safeCut(s, 4), 3);
    QCOMPARE(Cp932::safeCut(s, 6), 6);
    QCOMPARE(Cp932::safeCut(s, 99), s.size());
    QCOMPARE(Cp932::leftSafe(s, 4), Cp932::encode(QStringLiteral("aあ")));
    // A trail byte inside the lead range is not taken for a lead byte: 0x81 0x81 is "＝".
    const QByteArray eq("\x81\x81" "a", 3);
    QVERIFY(Cp932::isLeadAt(eq, 0));
    QVERIFY(!Cp932::isLeadAt(eq, 1));
    QCOMPARE(Cp932::safeCut(eq, 2), 2);
    QCOMPARE(Cp932::safeCut(eq, 1), 0);
}

void TextTest::filterText_data() {
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("tab between letters") << QByteArray("a\tb") << QByteArray("a b");
    QTest::newRow("line breaks stay") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("controls") << QByteArray("\x01\x08\x0b\x0c\x0e\x1f") << QByteArray("@@@@@@");
    QTest::newRow("lone 0x80") << QByteArray("\x80") << QByteArray("@");
    QTest::newRow("lone 0xA0") << QByteArray("x\xA0") << QByteArray("x@");
    QTest::newRow("0x80 as trail byte") << QByteArray("\x81\x80") << QByteArray("\x81\x80");
    QTest::newRow("0x80 after a trail byte") << QByteArray("\x81\x81\x80") << QByteArray("\x81\x81@");
    QTest::newRow("FD FE FF") << QByteArray("\xFD\xFE\xFF") << QByteArray("@@@");
    QTest::newRow("half-width katakana") << QByteArray("\xB1\xB2") << QByteArray("\xB1\xB2");
    QTest::newRow("DEL stays") << QByteArray("\x7F") << QByteArray("\x7F");
    const QByteArray jp = Cp932::encode(QStringLiteral("要約筆記「テスト」"));
    QTest::newRow("japanese") << jp << jp;
}

void TextTest::filterText() {
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QCOMPARE(Text::FilterText(in), out);
}

void TextTest::filterTextEndsAtNul() {
    QCOMPARE(Text::FilterText(QByteArray("ab\0cd", 5)), QByteArray("ab"));
    QCOMPARE(Text::FilterText(QByteArray()), QByteArray());
    const QByteArray big(512, 'x');
    QCOMPARE(Text::FilterText(big).size(), 512);
}

void TextTest::formatClock_data() {
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("one digit each") << QByteArray("9:5:3:7") << QByteArray("09:05:03:007");
    QTest::newRow("already full") << QByteArray("12:34:56:789") << QByteArray("12:34:56:789");
    QTest::newRow("two-digit ms") << QByteArray("1:2:3:45") << QByteArray("01:02:03:045");
    QTest::newRow("long fields kept") << QByteArray("123:4:5:6789") << QByteArray("123:04:05:6789");
    QTest::newRow("empty") << QByteArray() << QByteArray("00:00:00:000");
    QTest::newRow("empty field") << QByteArray("1::3:4") << QByteArray("00:00:00:000");
    QTest::newRow("trailing colon") << QByteArray("1:2:3:") << QByteArray("00:00:00:000");
    QTest::newRow("letter") << QByteArray("1:2:x:4") << QByteArray("00:00:00:000");
    QTest::newRow("three fields") << QByteArray("1:2:3") << QByteArray("00:00:00:000");
    QTest::newRow("five fields") << QByteArray("1:2:3:4:5") << QByteArray("00:00:00:000");
    QTest::newRow("space") << QByteArray("1:2:3: 4") << QByteArray("00:00:00:000");
}

void TextTest::formatClock() {
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QCOMPARE(Text::FormatClock(in), out);
}

QTEST_APPLESS_MAIN(TextTest)
#include "test_text.moc"
