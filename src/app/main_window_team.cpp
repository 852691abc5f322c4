// The team on the LAN: the own address and name, the eight member slots, member search, pairing
// with a partner, input groups and leave notices.
#include "app/main_window.h"
#include "app/text_pane.h"

#include "net/addressing.h"
#include "net/network.h"
#include "app/member_monitor.h"
#include "audience/audience_panel.h"
#include "prepared/subinput_window.h"
#include "text/cp932.h"
#include "windows/main/auxiliary_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kGuardMessage = QStringLiteral(
    "入力したＩＰアドレスが間違っていたので\n１０．１４．１．１に書き換えました。\nこのままでは、他のＱｕｅｌｔａと通信できません。\n\n"
    "書き換えている途中も通信しているため、挿入削除を\nうまく使って正しいＩＰの形を維持して書き換えてください。\n\n"
    "起動した時にこのメッセージが出る場合は、次のチェックをしてください。\n１）ＬＡＮカードが入っていない。\n"
    "２）「ＩＰアドレスを自動取得」にしているのにネットワークに接続していない。\n３）ＩＰアドレスが正しく設定されていない。");

const QString kNameNotice = QStringLiteral(
    "「自分のパソコン」の「名前」を変えた時は、\n新しい名前を他のパソコンに表示するために\n「パートナー」ページで次の操作をしてください。\n\n"
    "１）「お休み」ボタンを押す\n２）「メンバーを捜す」ボタンを押す。");

}  // namespace

void Ttalk2e::wireTeam() {
    connect(Edit35, &QLineEdit::textChanged, this, &Ttalk2e::Edit35Change);
    connect(Edit30, &QLineEdit::textChanged, this, &Ttalk2e::Edit30Change);
    Edit30->installEventFilter(this);
    for (int k = 1; k <= kSlots; ++k) {
        const MemberSlot& s = slot(k);
        connect(s.address, &QLineEdit::textChanged, this, [this, k] { SlotAddressChange(k); });
        connect(s.address, &QLineEdit::textChanged, this, &Ttalk2e::PreferTeamSenders);
        connect(s.mate, &QCheckBox::toggled, this, &Ttalk2e::PreferTeamSenders);
        connect(s.name, &QLineEdit::textChanged, this, [this, k] { MirrorSlotName(k); });
        connect(s.request, &QPushButton::clicked, this, [this, k] { RequestPartner(k); });
        connect(s.partner, &QPushButton::clicked, this, [this, k] { CancelPartner(k); });
    }
    connect(Button39, &QPushButton::clicked, this, &Ttalk2e::Button39Click);
    connect(Button36, &QPushButton::clicked, this, &Ttalk2e::Button36Click);
    connect(Button38, &QPushButton::clicked, this, &Ttalk2e::Button38Click);
    connect(Button47, &QPushButton::clicked, this, &Ttalk2e::RestartSearch);
    connect(Button53, &QPushButton::clicked, this, &Ttalk2e::Rest);
    for (QRadioButton* r : {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11,
                            RadioButton12})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ChangeGroup();
        });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (RadioButton12->isChecked()) ChangeGroup();
    });
}

// ---------------------------------------------------------------------------------------------
// Own address and name, member slots

void Ttalk2e::Edit35Change() {
    auxiliary_->audiencePanel().setOwnAddress(Edit35->text());
    if (Net::CheckAddress(Edit35->text()) == 0) return;
    Edit35->setText(QStringLiteral("10.14.1.1"));
    Message(kGuardMessage);
}

void Ttalk2e::Edit30Change() { nameChanged_ = true; }

void Ttalk2e::StartupFinished() {
    nameChanged_ = false;  // the name read at start-up is no change of the user's
}

void Ttalk2e::Edit30FocusOut() {
    if (!nameChanged_) return;
    Message(kNameNotice);
    nameChanged_ = false;
}

void Ttalk2e::SlotAddressChange(int k) {
    if (Net::CheckAddress(slot(k).address->text()) != 0) slot(k).mate->setChecked(false);
}

void Ttalk2e::Button39Click() {
    DetectOwnAddress();
    ReadOwnNameFromStartupFile();
}

void Ttalk2e::Button36Click() {
    Message(QStringLiteral(
        "winipcfg.exeは、Windows95,98,MeでＩＰアドレスを表示します。\nWindows2000,XPは、「ipconfig｣のボタンを押してください。\n\n"
        "ＬＡＮで使用する時はＬＡＮカードのＩＰアドレスを見てください。\n電話回線を使いダイアルアップでインターネットに接続している時は、\n"
        "PPPのＩＰアドレスを見てください。"));
    station_.messages.information(station_.hostTools.addressReport());
}

void Ttalk2e::Button38Click() {
    Message(QStringLiteral(
        "ipconfig.exeは、Windows2000,XPでＩＰアドレスを表示します。\nWindows95,98,Meは、「winipcfg｣のボタンを押してください。\n\n"
        "イーサーネットケーブルで使用する時はローカルエリア接続を見てください。\n無線ＬＡＮを使用するときは、ワイヤレスネットワーク接続を見てください。\n"
        "電話回線を使いダイアルアップでインターネットに接続している時は、\nPPPのＩＰアドレスを見てください。"));
    station_.messages.information(station_.hostTools.addressReport());
}



void Ttalk2e::CheckMemberAndRemoteAddresses() {
    for (int k = 1; k <= kSlots; ++k) SlotAddressChange(k);
}

int Ttalk2e::groupNumber() const {
    const QRadioButton* fixed[] = {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11};
    for (int i = 0; i < 6; ++i)
        if (fixed[i]->isChecked()) return i + 1;
    if (RadioButton12->isChecked()) return 7 + qMax(0, ComboBox1->currentIndex());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// What the team reads and changes on the partner page

Net::TeamOptions Ttalk2e::teamOptions() const {
    Net::TeamOptions o;
    o.ownAddress = Edit35->text();
    o.ownName = Edit30->text();
    o.group = groupNumber();
    o.membersFixed = CheckBox6->isChecked();
    o.partnerFixed = CheckBox7->isChecked();
    o.remoteSearch = CheckBox71->isChecked();
    o.addressesOnly = CheckBox72->isChecked();
    o.remoteAddresses = {Edit98->text(), Edit99->text(), Edit100->text()};
    o.showMessages = showMessages();
    return o;
}

Net::SlotViews Ttalk2e::memberSlots() const {
    Net::SlotViews v;
    for (int k = 0; k < kSlots; ++k)
        v[k] = {slots_[k].mate->isChecked(), slots_[k].name->text(), slots_[k].address->text()};
    return v;
}

QStringList Ttalk2e::mateAddresses() const {
    QStringList out;
    for (const MemberSlot& s : slots_)
        if (s.mate->isChecked()) out << s.address->text();
    return out;
}

void Ttalk2e::setSlot(int k, const Net::SlotView& v) {
    const MemberSlot& s = slot(k);
    if (!v.mate) s.mate->setChecked(false);  // before the address guard would clear it anyway
    s.name->setText(v.name);
    s.address->setText(v.address);
    if (v.mate) s.mate->setChecked(true);
}

void Ttalk2e::setOwnAddress(const QString& address) { Edit35->setText(address); }
QStringList Ttalk2e::interfaceAddresses() const { return station_.network.hostIdentity().ipv4Addresses; }
void Ttalk2e::setMembersFixed(bool on) { CheckBox6->setChecked(on); }
void Ttalk2e::setPartnerFixed(bool on) { CheckBox7->setChecked(on); }
QDateTime Ttalk2e::now() const { return station_.clock.now(); }

void Ttalk2e::captionsToBase() {
    setWindowTitle(mainCaptionBase());
    if (Form14) Form14->setWindowTitle(subInputCaptionBase());
}

void Ttalk2e::captionsWithPartner(const QString& name) {
    setWindowTitle(mainCaptionBase() + QStringLiteral("  <") + name + u'>');
    if (Form14) Form14->setWindowTitle(subInputCaptionBase() + QStringLiteral("  <") + name + u'>');
}


void Ttalk2e::ShowPairingButtons(int k, bool partner) {
    if (k < 1 || k > kSlots) return;
    slot(k).request->setVisible(!partner);
    slot(k).partner->setVisible(partner);
    if (Form2) Form2->SyncButtons(k, partner);
}

// ---------------------------------------------------------------------------------------------
// The operations of the team

void Ttalk2e::ClearMembers() { team_.clearMembers(); }
int Ttalk2e::FindMember(const QString& address) const { return team_.findMember(address); }
int Ttalk2e::FirstFreeSlot() const { return team_.firstFreeSlot(); }
void Ttalk2e::SearchMembers() { team_.searchMembers(); }
void Ttalk2e::SendSearchRequest(const QString& address, bool broadcast) { team_.sendSearchRequest(address, broadcast); }
void Ttalk2e::RestartSearch() { team_.restartSearch(); }
void Ttalk2e::ChangeGroup() { team_.changeGroup(); }
void Ttalk2e::Rest() { team_.rest(); }
void Ttalk2e::RequestPartner(int k) { team_.requestPartner(k); }
void Ttalk2e::CancelPartner(int k) { team_.cancelPartner(k); }
void Ttalk2e::DropPartner() { team_.dropPartner(); }
void Ttalk2e::LeaveGroup() { team_.leaveGroup(); }
void Ttalk2e::StartupPartnerRequest() { team_.startupPartnerRequest(); }
void Ttalk2e::LeaveOnExit() { team_.leaveOnExit(); }

void Ttalk2e::NMUDP8DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team_.searchRequestReceived(payload, from);
}
void Ttalk2e::NMUDP6DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team_.searchAnswerReceived(payload, from);
}
void Ttalk2e::NMUDP4DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team_.pairingReceived(payload, from);
}
void Ttalk2e::NMUDP10DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team_.leaveReceived(payload, from);
}
