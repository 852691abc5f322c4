// The audience page wired into a station: what the display does reaches the page's stream and the
// transcript (a correction batch replaces the lines it corrects, a screen clear empties the page's
// screen), its keys in the settings file, and the transcript saved from the page "保存". Online
// captions likewise: their group on the page "補助Ｗ", their keys, and what a transfer may not set.
#include "support/lan.h"

#include "ui/fonts.h"
#include "audience/audience_panel.h"
#include "audience/event_log.h"
#include "audience/online_captions.h"
#include "audience/online_panel.h"
#include "audience/record_mirror.h"
#include "audience/service.h"
#include "audience/transcript.h"
#include "net/caption_protocol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace Testing;

class AudienceStationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void displayReachesStreamAndTranscript();
    void keysAndSavedTranscript();
    void startsWithoutCaptionsAndKeepsABrokenLineWhole();
    void onlineCaptionKeys();
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
    Testing::control<Audience::AudiencePanel>(*p.b.main, "AudiencePanel")->portEdit->setText("8800");
    QVERIFY(p.a.main->ApplySettings(p.b.main->WriteSettings()));
    QCOMPARE(Testing::control<Audience::AudiencePanel>(*p.a.main, "AudiencePanel")->portEdit->text(), QStringLiteral("8800"));
    p.a.main->SendLine(sj(u"録画に付ける行"));
    Testing::control<QPushButton>(*p.a.main, "ButtonTranscript")->click();
    const QStringList saved = QDir(p.a.station.programFolder).entryList({QStringLiteral("*.vtt"), QStringLiteral("*.srt")});
    QCOMPARE(saved.size(), 2);
    QFile vtt(p.a.station.programFolder + saved.filter(QStringLiteral(".vtt")).value(0));
    QVERIFY(vtt.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(vtt.readAll());
    QVERIFY(text.startsWith(QStringLiteral("WEBVTT")));
    QVERIFY(text.contains(QStringLiteral("録画に付ける行")));
}

// A station that has just started has shown no caption: its page and transcript are empty (the
// record's filler is no caption), and a line typed with Ctrl+Enter is one cue with its break.
void AudienceStationTest::startsWithoutCaptionsAndKeepsABrokenLineWhole() {
    PairedLan p;
    Audience::Service& page = p.b.main->audience();
    QVERIFY(page.mirror().shownTail(Audience::EventLog::kSnapshotLines).isEmpty());
    QVERIFY(!page.events().snapshot().contains("\"r\""));
    QVERIFY(page.transcript().isEmpty());
    p.a.main->SendLine(sj(u"上の行\r\n下の行"));
    p.lan.net.deliverAll();
    p.b.clock.time = p.b.clock.time.addSecs(3);
    p.a.main->SendLine(sj(u"次の字幕"));
    p.lan.net.deliverAll();
    const QList<Audience::Transcript::Cue> cues = page.transcript().cues();
    QCOMPARE(cues.size(), 2);
    QCOMPARE(cues[0].text, QStringLiteral("上の行\n下の行"));
    QCOMPARE(cues[0].startMs, 0);
    QCOMPARE(cues[0].endMs, 3000);
    QCOMPARE(cues[1].startMs, 3000);
}

void AudienceStationTest::onlineCaptionKeys() {
    PairedLan p;
    Audience::OnlinePanel* panel = Testing::control<Audience::OnlinePanel>(*p.a.main, "GroupOnline");
    QVERIFY(panel);
    QCOMPARE(panel->title(), QStringLiteral("オンライン字幕"));
    // On the page "補助Ｗ", its inner tab "配信" beside the audience page.
    auto* page = p.a.main->findChild<QWidget*>(QStringLiteral("TabSheet2"));
    auto* tabs = page->findChild<QTabWidget*>();
    QVERIFY(tabs);
    int reach = -1;
    for (QWidget* w = panel; w && reach < 0; w = w->parentWidget()) reach = tabs->indexOf(w);
    QCOMPARE(tabs->tabText(reach), QStringLiteral("配信"));
    tabs->setCurrentIndex(reach);
    QVERIFY(panel->isVisibleTo(page));
    QVERIFY(Testing::control<Audience::AudiencePanel>(*p.a.main, "AudiencePanel")->isVisibleTo(page));
    // Off by default, written after the audience page's keys.
    QList<QByteArray> lines = p.a.main->WriteSettings();
    const qsizetype at = lines.indexOf("951:8711:" + sj(u"観客用ページのポート番号"));
    QVERIFY(at > 0);
    QCOMPARE(lines.mid(at + 1, 3), (QList<QByteArray>{"952:off:" + sj(u"オンライン字幕の送信先の種類"),
                                                      "953::" + sj(u"オンライン字幕の送信先URL"),
                                                      "954:jp-JP:" + sj(u"オンライン字幕の言語")}));
    // An address with colons of its own comes back whole.
    const QString url = QStringLiteral("https://wmcc.zoom.us:443/closedcaption?id=9&ns=a%3Ab&signature=c%2Cd");
    panel->setKindWord(QStringLiteral("zoom"));
    panel->urlEdit->setText(url);
    panel->languageEdit->setText(QStringLiteral("en-US"));
    lines = p.a.main->WriteSettings();
    QVERIFY(lines.contains("953:" + url.toLatin1() + ':' + sj(u"オンライン字幕の送信先URL")));
    QVERIFY(p.b.main->ApplySettings(lines));
    QCOMPARE(p.b.main->online().kind(), Audience::OnlineCaptions::Kind::Zoom);
    QCOMPARE(p.b.main->online().url(), url);
    QCOMPARE(p.b.main->online().language(), QStringLiteral("en-US"));
    QCOMPARE(Testing::control<Audience::OnlinePanel>(*p.b.main, "GroupOnline")->kindBox->currentData().toString(), QStringLiteral("zoom"));
    // A test station has no way out to the web: it never posts (the real program's do).
    QVERIFY(!p.b.main->online().hasNetwork());
    QVERIFY(!p.b.main->online().isActive());
    // One station posts: a transfer from a member sets the display, never where captions go online.
    p.a.main->transfer().SendSettingsTransfer({Net::Wire::SettingsStart() + sj(u"952:youtube:種類"),
                                    Net::Wire::SettingsStart() + "953:http://192.168.1.10:8080/cc?cid=x:" + sj(u"URL"),
                                    Net::Wire::SettingsStart() + sj(u"009:30:表示部のフォントサイズ")});
    p.lan.net.deliverAll();
    QCOMPARE(p.b.main->online().kind(), Audience::OnlineCaptions::Kind::Zoom);
    QCOMPARE(p.b.main->online().url(), url);
    QCOMPARE(Fonts::points(Testing::control<TextPane>(*p.b.main, "RichEdit2")->font()), 30);
    // Back to the defaults: off, no address, Japanese.
    p.b.main->ResetToDefaults();
    QCOMPARE(p.b.main->online().kind(), Audience::OnlineCaptions::Kind::Off);
    QCOMPARE(p.b.main->online().url(), QString());
    QCOMPARE(p.b.main->online().language(), QStringLiteral("jp-JP"));
}

QTEST_MAIN(AudienceStationTest)
#include "test_audience_station.moc"
