// The audience page wired into a station: what the display does reaches the page's stream and the
// transcript (a correction batch replaces the lines it corrects, a screen clear empties the page's
// screen), its keys in the settings file, and the transcript saved from the page "保存".
#include "support/lan.h"

#include "audience/audience_panel.h"
#include "audience/event_log.h"
#include "audience/service.h"
#include "audience/transcript.h"
#include "net/caption_protocol.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Testing;

class AudienceStationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void displayReachesStreamAndTranscript();
    void keysAndSavedTranscript();
};

void AudienceStationTest::displayReachesStreamAndTranscript() {
    PairedLan p;
    Audience::Service& page = p.b.main->audience();
    QSignalSpy events(&page.events(), &Audience::EventLog::event);
    p.a.main->SendLine(sj(u"最初の行"));
    p.b.clock.time = p.b.clock.time.addSecs(2);
    p.a.main->SendLine(sj(u"まちがった行"));
    p.lan.net.deliverAll();
    QVERIFY(events.size() >= 2);
    // A correction batch of the last line replaces it in the transcript.
    for (const QByteArray& item : {sj(u"なおした行"), Net::Wire::BatchEnd()})
        p.lan.net.inject("192.168.1.10", 6713, "192.168.1.11", 6713, item);
    p.lan.net.deliverAll();
    QStringList texts;
    for (const auto& c : page.transcript().cues()) texts << c.text;
    QVERIFY(texts.contains(QStringLiteral("なおした行")));
    QVERIFY(!texts.contains(QStringLiteral("まちがった行")));
    // Undo takes a line out; a clear empties the page's screen but keeps the transcript.
    p.a.main->SendLine(sj(u"取り消す行"));
    p.lan.net.deliverAll();
    p.a.main->UndoToInput(false);
    p.lan.net.deliverAll();
    texts.clear();
    for (const auto& c : page.transcript().cues()) texts << c.text;
    QVERIFY(!texts.contains(QStringLiteral("取り消す行")));
    const int before = int(events.size());
    p.a.main->ClearScreen();
    p.a.main->SendCommand(Net::Wire::Command::Clear);
    p.lan.net.deliverAll();
    QVERIFY(events.size() > before);
    QVERIFY(events.last().at(0).toByteArray().contains("\"t\":\"cls\""));
    QVERIFY(!page.transcript().cues().isEmpty());
}

void AudienceStationTest::keysAndSavedTranscript() {
    PairedLan p;
    const QList<QByteArray> lines = p.a.main->WriteSettings();
    QVERIFY(lines.contains("950:false:" + sj(u"観客用ページを公開しない")));
    QVERIFY(lines.contains("951:8711:" + sj(u"観客用ページのポート番号")));
    p.b.main->AudiencePanel->portEdit->setText("8800");
    QVERIFY(p.a.main->ApplySettings(p.b.main->WriteSettings()));
    QCOMPARE(p.a.main->AudiencePanel->portEdit->text(), QStringLiteral("8800"));
    p.a.main->SendLine(sj(u"録画に付ける行"));
    p.a.main->ButtonTranscript->click();
    const QStringList saved = QDir(p.a.station.programFolder).entryList({QStringLiteral("*.vtt"), QStringLiteral("*.srt")});
    QCOMPARE(saved.size(), 2);
    QFile vtt(p.a.station.programFolder + saved.filter(QStringLiteral(".vtt")).value(0));
    QVERIFY(vtt.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(vtt.readAll());
    QVERIFY(text.startsWith(QStringLiteral("WEBVTT")));
    QVERIFY(text.contains(QStringLiteral("録画に付ける行")));
}

QTEST_MAIN(AudienceStationTest)
#include "test_audience_station.moc"
