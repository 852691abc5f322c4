// Display settings sent to other PCs: transfer lines on the partner channel, their receipt and
// application, "合わせる", and the command keys a transfer carries.
#include "windows/main/settings_transfer.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"

#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "windows/main/main_window.h"
#include "ui/settings_binders.h"
#include "ui/text_pane.h"
#include "net/caption_protocol.h"
#include "settings/settings_file.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

QByteArray transferLine(int key, const QByteArray& value, QStringView comment) {
    return Net::Wire::SettingsStart() + Settings::recordLine(key, value, Cp932::encode(comment));
}

}  // namespace

SettingsTransfer::SettingsTransfer(Ttalk2e& main) : main_(main) {}

void SettingsTransfer::addMatchButton(QWidget* group) {
    Button18 = Form::button(group, "Button18", QStringLiteral("合わせる"));
    QObject::connect(Button18, &QPushButton::clicked, Button18, [this] { Button18Click(); });
}

bool SettingsTransfer::SendSettingsLine(const QByteArray& text) {
    if (main_.outbox().toPartner(Net::Ports::MainPartner, text)) return true;
    // Never cut: a line the partner could not take whole is not sent at all.
    main_.Message(QStringLiteral("表示設定の行が長すぎるため送信できませんでした。\n") + Cp932::decode(text.left(60)));
    return false;
}

void SettingsTransfer::SendSettingsTransfer(const QList<QByteArray>& lines) {
    SendSettingsLine(Net::Wire::SettingsStart() + Settings::headerLine());
    for (const QByteArray& line : lines) SendSettingsLine(line);
    SendSettingsLine(Net::Wire::SettingsEnd());
}

// Transfers change a station's channel, password and display: only the team's members may send one.
void SettingsTransfer::SettingsTransferReceived(const QByteArray& text, const QString& from) {
    if (!main_.team().findMember(from)) {
        main_.LogRepeated(QStringLiteral("表示設定受信拒否："), [&] {
            return Net::DateTimeStamp(main_.station().clock.now()) + QStringLiteral("表示設定受信拒否：[") + from +
                   QStringLiteral("]") + Cp932::decode(text);
        });
        return;
    }
    main_.Log(Net::DateTimeStamp(main_.station().clock.now()) + QStringLiteral("表示設定受信：") + Cp932::decode(text));
    if (const auto lines = buffer_.take(text)) ApplyTransfer(*lines);
}

void SettingsTransfer::ApplyTransfer(QList<QByteArray> lines) {
    // Where this station's captions go online is its own choice (one station posts): no transfer sets it.
    lines.removeIf([](const QByteArray& l) { return Settings::keyOf(l) >= 952 && Settings::keyOf(l) <= 954; });
    Settings::StationNow now;
    now.channel = main_.channelIndex();
    now.group = main_.groupNumber();
    now.displayInk = main_.displayInk();
    now.displayPaper = main_.displayPaper();
    now.screens = Bind::screensArea();
    now.shown = [](qint32 value) { return quint32(Ttalk2e::qcolour(value).rgb() & 0xFFFFFF); };
    const Settings::Screened screened = Settings::ScreenTransfer(main_.settingsTable(), lines, now);
    const QString stamp = Net::DateTimeStamp(main_.station().clock.now());
    for (const Settings::HeldBack& h : screened.held)
        main_.Log(stamp + QStringLiteral("表示設定受信拒否：") + h.reason + QStringLiteral("：") + Cp932::decode(h.line));
    main_.ApplySettings(screened.lines);
}

void SettingsTransfer::Button18Click() {
    if (!main_.team().hasPartner()) {
        main_.Message(QStringLiteral("パートナーが指名されていません。"));
        return;
    }
    main_.display().setAutoFit(false);
    SendSettingsTransfer({transferLine(607, "true", u"ウィンドの大きさなど送れの指示")});
}

// The commands a transfer carries (never written to a file).
void SettingsTransfer::addTransferCommands(Settings::KeyTable& t) {
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
    command(600, ifTrue([this] { main_.display().FitFromFont(); }));
    command(603, [this](QByteArrayView v) { main_.station().messages.information(Cp932::decode(v)); });
    command(607, ifTrue([this] {
        if (!main_.team().hasPartner()) return;
        SendSettingsTransfer({transferLine(1, QByteArray::number(main_.width()), u"メインウィンドの幅"),
                              transferLine(4, Cp932::encode(main_.display().linesText()), u"マニュアル調整の表示行数"),
                              transferLine(9, QByteArray::number(Fonts::points(main_.display().displayFont())), u"表示部のフォントサイズ"),
                              transferLine(608, "true", u"行数から行間を調整するのボタン")});
    }));
    command(608, ifTrue([this] { main_.display().LinesToSpacing(); }));
    command(609, ifTrue([this] {
        if (!main_.team().hasPartner()) return;
        SendSettingsTransfer({transferLine(0, QByteArray::number(main_.height()), u"ウィンドウの高さ"),
                              transferLine(1, QByteArray::number(main_.width()), u"メインウィンドの幅"),
                              transferLine(2, QByteArray::number(main_.y()), u"メインウィンドの縦位置"),
                              transferLine(3, QByteArray::number(main_.x()), u"メインウィンドの横位置"),
                              transferLine(4, Cp932::encode(main_.display().linesText()), u"マニュアル調整の表示行数"),
                              transferLine(5, Cp932::encode(main_.display().spacingText()), u"マニュアル調整の行間"),
                              transferLine(9, QByteArray::number(Fonts::points(main_.display().displayFont())), u"表示部のフォントサイズ")});
    }));
    command(610, ifTrue([this] {
        if (!main_.team().hasPartner()) return;
        SendSettingsTransfer({transferLine(611, Cp932::encode(main_.display().spacingText()), u"マニュアル調整の行間")});
    }));
    command(612, ifTrue([this] {
        if (main_.pages()->currentIndex() != 0) return;
        main_.ToggleFrameless();
        main_.strip().focusKeyCatcher();
    }));
    command(613, ifTrue([this] {
        if (main_.pages()->currentIndex() == 0) main_.display().Button13Click();
    }));
    command(614, ifTrue([this] {
        if (main_.pages()->currentIndex() == 0 && main_.strip().screenButtonText() == QStringLiteral("ワ")) main_.display().Button12Click();
    }));
    command(620, [this](QByteArrayView v) { main_.display().SetScrollAmount(Settings::intValue(v, main_.scroller().scrollStep)); });
}
