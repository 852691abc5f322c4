// Display settings sent to other PCs: transfer lines on the partner channel, their receipt and
// application, "合わせる", and the command keys a transfer carries.
#include "app/main_window.h"

#include "app/fonts.h"
#include "app/settings_binders.h"
#include "app/text_pane.h"
#include "net/caption_protocol.h"
#include "settings/settings_file.h"
#include "settings/transfer.h"
#include "settings/values.h"
#include "text/cp932.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

QByteArray transferLine(int key, const QByteArray& value, QStringView comment) {
    return Net::Wire::SettingsStart() + Settings::recordLine(key, value, Cp932::encode(comment));
}

}  // namespace

bool Ttalk2e::SendSettingsLine(const QByteArray& text) {
    if (outbox_.toPartner(Net::Ports::MainPartner, text)) return true;
    // Never cut: a line the partner could not take whole is not sent at all.
    Message(QStringLiteral("表示設定の行が長すぎるため送信できませんでした。\n") + Cp932::decode(text.left(60)));
    return false;
}

void Ttalk2e::SendSettingsTransfer(const QList<QByteArray>& lines) {
    SendSettingsLine(Net::Wire::SettingsStart() + Settings::headerLine());
    for (const QByteArray& line : lines) SendSettingsLine(line);
    SendSettingsLine(Net::Wire::SettingsEnd());
}

// Transfers change a station's channel, password and display: only the team's members may send one.
void Ttalk2e::SettingsTransferReceived(const QByteArray& text, const QString& from) {
    if (!team_.findMember(from)) {
        LogRepeated(QStringLiteral("表示設定受信拒否："), [&] {
            return Net::DateTimeStamp(station_.clock.now()) + QStringLiteral("表示設定受信拒否：[") + from +
                   QStringLiteral("]") + Cp932::decode(text);
        });
        return;
    }
    Log(Net::DateTimeStamp(station_.clock.now()) + QStringLiteral("表示設定受信：") + Cp932::decode(text));
    if (const auto lines = transferBuffer_.take(text)) ApplyTransfer(*lines);
}

void Ttalk2e::ApplyTransfer(QList<QByteArray> lines) {
    // Where this station's captions go online is its own choice (one station posts): no transfer sets it.
    lines.removeIf([](const QByteArray& l) { return Settings::keyOf(l) >= 952 && Settings::keyOf(l) <= 954; });
    Settings::StationNow now;
    now.channel = channelIndex();
    now.group = groupNumber();
    now.displayInk = colours_.displayInk;
    now.displayPaper = colours_.displayPaper;
    now.screens = Bind::screensArea();
    now.shown = [](qint32 value) { return quint32(qcolour(value).rgb() & 0xFFFFFF); };
    const Settings::Screened screened = Settings::ScreenTransfer(settings_, lines, now);
    const QString stamp = Net::DateTimeStamp(station_.clock.now());
    for (const Settings::HeldBack& h : screened.held)
        Log(stamp + QStringLiteral("表示設定受信拒否：") + h.reason + QStringLiteral("：") + Cp932::decode(h.line));
    ApplySettings(screened.lines);
}

void Ttalk2e::Button18Click() {
    if (!team_.hasPartner()) {
        Message(QStringLiteral("パートナーが指名されていません。"));
        return;
    }
    display_->setAutoFit(false);
    SendSettingsTransfer({transferLine(607, "true", u"ウィンドの大きさなど送れの指示")});
}

// The commands a transfer carries (never written to a file).
void Ttalk2e::addTransferCommands(Settings::KeyTable& t) {
    auto command = [&t](int key, std::function<void(QByteArrayView)> act) {
        Settings::Entry e;
        e.key = key;
        e.kind = Settings::Kind::Command;
        e.apply = std::move(act);
        t.add(std::move(e));
    };
    auto ifTrue = [](std::function<void()> act) {
        return [act](QByteArrayView v) {
            if (Settings::isTrue(v)) act();
        };
    };
    command(600, ifTrue([this] { display_->FitFromFont(); }));
    command(603, [this](QByteArrayView v) { station_.messages.information(Cp932::decode(v)); });
    command(607, ifTrue([this] {
        if (!team_.hasPartner()) return;
        SendSettingsTransfer({transferLine(1, QByteArray::number(width()), u"メインウィンドの幅"),
                              transferLine(4, Cp932::encode(display_->linesText()), u"マニュアル調整の表示行数"),
                              transferLine(9, QByteArray::number(Fonts::points(display_->displayFont())), u"表示部のフォントサイズ"),
                              transferLine(608, "true", u"行数から行間を調整するのボタン")});
    }));
    command(608, ifTrue([this] { display_->LinesToSpacing(); }));
    command(609, ifTrue([this] {
        if (!team_.hasPartner()) return;
        SendSettingsTransfer({transferLine(0, QByteArray::number(height()), u"ウィンドウの高さ"),
                              transferLine(1, QByteArray::number(width()), u"メインウィンドの幅"),
                              transferLine(2, QByteArray::number(y()), u"メインウィンドの縦位置"),
                              transferLine(3, QByteArray::number(x()), u"メインウィンドの横位置"),
                              transferLine(4, Cp932::encode(display_->linesText()), u"マニュアル調整の表示行数"),
                              transferLine(5, Cp932::encode(display_->spacingText()), u"マニュアル調整の行間"),
                              transferLine(9, QByteArray::number(Fonts::points(display_->displayFont())), u"表示部のフォントサイズ")});
    }));
    command(610, ifTrue([this] {
        if (!team_.hasPartner()) return;
        SendSettingsTransfer({transferLine(611, Cp932::encode(display_->spacingText()), u"マニュアル調整の行間")});
    }));
    command(612, ifTrue([this] {
        if (PageControl1->currentIndex() != 0) return;
        ToggleFrameless();
        strip_->focusKeyCatcher();
    }));
    command(613, ifTrue([this] {
        if (PageControl1->currentIndex() == 0) display_->Button13Click();
    }));
    command(614, ifTrue([this] {
        if (PageControl1->currentIndex() == 0 && strip_->screenButtonText() == QStringLiteral("ワ")) display_->Button12Click();
    }));
    command(620, [this](QByteArrayView v) { display_->SetScrollAmount(Settings::intValue(v, scroll_.scrollStep)); });
}
