// The team on the LAN: the own address and name, the eight member slots, member search, pairing
// with a partner, input groups and leave notices.
#include "app/main_window.h"
#include "app/text_pane.h"

#include "net/addressing.h"
#include "net/datagram_endpoint.h"
#include "prepared/subinput_window.h"
#include "text/cp932.h"

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

QString text(const QByteArray& field) { return Cp932::decode(field); }

}  // namespace

void Ttalk2e::wireTeam() {
    connect(Edit35, &QLineEdit::textChanged, this, &Ttalk2e::Edit35Change);
    connect(Edit30, &QLineEdit::textChanged, this, &Ttalk2e::Edit30Change);
    Edit30->installEventFilter(this);
    for (int k = 1; k <= kSlots; ++k) {
        const MemberSlot& s = slot(k);
        connect(s.address, &QLineEdit::textChanged, this, [this, k] { SlotAddressChange(k); });
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

Net::SlotViews Ttalk2e::slotViews() const {
    Net::SlotViews v;
    for (int k = 0; k < kSlots; ++k) v[k] = {slots_[k].mate->isChecked(), slots_[k].address->text()};
    return v;
}

int Ttalk2e::FindMember(const QString& address) const { return Net::FindMember(slotViews(), address); }
int Ttalk2e::FirstFreeSlot() const { return Net::FirstFreeSlot(slotViews()); }

void Ttalk2e::ClearMembers() {
    for (const MemberSlot& s : slots_) {
        s.mate->setChecked(false);
        s.name->clear();
        s.address->clear();
    }
}

void Ttalk2e::ShowPairingButtons(int k, bool partner) {
    if (k < 1 || k > kSlots) return;
    slot(k).request->setVisible(!partner);
    slot(k).partner->setVisible(partner);
    MirrorPairingButtons(k);
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
// Captions

void Ttalk2e::SetCaptionsToBase() {
    setWindowTitle(mainCaptionBase());
    if (Form14) Form14->setWindowTitle(subInputCaptionBase());
}

void Ttalk2e::SetCaptionsWithPartner(const QString& name) {
    setWindowTitle(mainCaptionBase() + QStringLiteral("  <") + name + u'>');
    if (Form14) Form14->setWindowTitle(subInputCaptionBase() + QStringLiteral("  <") + name + u'>');
}

void Ttalk2e::LogStamped(const QString& tag, const QString& what) {
    Log(Net::DateTimeStamp(station_.clock.now()) + tag + what);
}

// ---------------------------------------------------------------------------------------------
// Member search

void Ttalk2e::SearchMembers() {
    SendSearchRequest(Edit35->text(), true);
    RemoteSearch();
}

void Ttalk2e::RemoteSearch() {}  // searches of the routed remote addresses, with their subsystem

void Ttalk2e::SendSearchRequest(const QString& address, bool broadcast) {
    if (broadcast) {
        if (Net::CheckAddress(address) != 0) {
            Message(QStringLiteral("相手のＩＰアドレスが間違っています。"));
            return;
        }
        NMUDP8->remoteHost = Net::ClassfulBroadcast(address);
    } else {
        NMUDP8->remoteHost = address;
    }
    NMUDP8->send(Net::SearchRequest(Edit35->text(), Edit30->text(), groupNumber()));
}

// "ﾊﾟｰﾄﾅｰ固定" off, the partner told, the captions without a partner's name.
void Ttalk2e::EndPartnership() {
    CheckBox7->setChecked(false);
    DropPartner();
    SetCaptionsToBase();
}

void Ttalk2e::RestartSearch() {
    if (Net::CheckAddress(Edit35->text()) != 0) return;
    EndPartnership();
    CheckBox6->setChecked(false);
    ClearMembers();
    SearchMembers();
}

void Ttalk2e::ChangeGroup() {
    if (Net::CheckAddress(Edit35->text()) != 0) return;
    EndPartnership();
    LeaveGroup();  // the old members are told before the list is cleared
    CheckBox6->setChecked(false);
    ClearMembers();
    SearchMembers();
}

void Ttalk2e::Rest() {
    EndPartnership();
    CheckBox6->setChecked(true);  // no more answers to searches, no leave notices taken
    LeaveGroup();
    ClearMembers();
}

void Ttalk2e::NMUDP8DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (Net::CheckAddress(Edit35->text()) != 0 || CheckBox6->isChecked()) return;
    const auto f = Net::SplitControlMessage(payload);
    if (!f) return;
    const QString sender = text(f->at(0));
    if (Net::CheckAddress(sender) != 0) {
        LogStamped(QStringLiteral("不正ＩＰ受信："), sender);
        return;
    }
    if (sender == Edit35->text()) return;  // our own broadcast
    if (f->has(3) && f->at(3) != QByteArray::number(groupNumber())) return;
    if (FindMember(sender) || FirstFreeSlot()) {
        AnswerOrAddMember(sender, text(f->at(1)), f->at(2) == "Req");
        return;
    }
    NMUDP6->remoteHost = sender;
    NMUDP6->send(Net::SearchAnswer(Edit35->text(), sender, Edit30->text(), "Ful"));
}

void Ttalk2e::AnswerOrAddMember(const QString& sender, const QString& senderName, bool answerListed) {
    const QString own = Edit35->text(), name = Edit30->text();
    if (const int k = FindMember(sender)) {
        if (answerListed) {
            NMUDP6->remoteHost = slot(k).address->text();
            NMUDP6->send(Net::SearchAnswer(own, slot(k).address->text(), name, "Ans"));
        }
        return;
    }
    if (const int k = FirstFreeSlot()) {
        slot(k).address->setText(sender);
        slot(k).name->setText(senderName);
        slot(k).mate->setChecked(true);
        NMUDP6->remoteHost = sender;
        NMUDP6->send(Net::SearchAnswer(own, sender, name, "Ans"));
    }
}

void Ttalk2e::NMUDP6DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (CheckBox6->isChecked()) return;
    const auto f = Net::SplitControlMessage(payload);
    if (!f) return;
    const QString sender = text(f->at(0));
    if (f->at(3) == "Ful") {
        groupFull = true;
        Message(text(f->at(2)) + u'(' + sender +
                QStringLiteral(")です。\n今この入力班は満員です。\nどうしてもこの班に入りたい時は、連絡してください。"));
        LogStamped(QStringLiteral("満員通知受信："), text(payload));
        return;
    }
    const QString seenAs = text(f->at(1));
    if (Net::CheckAddress(sender) != 0) {
        LogStamped(QStringLiteral("不正ＩＰ受信："), sender);
        return;
    }
    if (Net::CheckAddress(seenAs) != 0) {
        LogStamped(QStringLiteral("不正ＩＰ受信："), seenAs);
        return;
    }
    Edit35->setText(seenAs);  // the address by which the other side reached this station
    if (sender == Edit35->text()) return;
    if (f->has(4) && f->at(4) != QByteArray::number(groupNumber())) return;
    AnswerOrAddMember(sender, text(f->at(2)), f->at(3) == "Req");  // no free slot: nothing
}

// ---------------------------------------------------------------------------------------------
// Pairing

void Ttalk2e::RequestPartner(int k) {
    if (CheckBox7->isChecked() || !slot(k).mate->isChecked()) return;
    DropPartner();
    partnerSlot = 0;
    hasPartner = false;
    NMUDP4->remoteHost = slot(k).address->text();
    NMUDP4->send(Net::PairingMessage(Edit35->text(), slot(k).address->text(), Edit30->text(), "Req-Partner", "Req"));
}

void Ttalk2e::CancelPartner(int k) {
    if (CheckBox7->isChecked()) return;
    ShowPairingButtons(k, false);
    partnerSlot = 0;
    hasPartner = false;
    if (slot(k).mate->isChecked()) {
        NMUDP4->remoteHost = slot(k).address->text();
        NMUDP4->send(
            Net::PairingMessage(Edit35->text(), slot(k).address->text(), Edit30->text(), "Can-Partner", "Ans"));
    }
}

void Ttalk2e::DropPartner() {
    if (partnerSlot >= 1 && partnerSlot <= kSlots) {
        const QString address = slot(partnerSlot).address->text();
        if (Net::CheckAddress(address) == 0) {
            NMUDP4->remoteHost = address;
            NMUDP4->send(Net::PairingMessage(Edit35->text(), address, Edit30->text(), "Can-Partner", "Ans"));
        }
        ShowPairingButtons(partnerSlot, false);
    }
    partnerSlot = 0;
    hasPartner = false;
}

void Ttalk2e::NMUDP4DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (CheckBox7->isChecked()) return;
    const auto f = Net::SplitControlMessage(payload);
    if (!f) return;
    hasPartner = false;
    DropPartner();  // any pairing datagram first ends the current partnership
    const QString sender = text(f->at(0));
    for (int k = 1; k <= kSlots; ++k) {
        if (!slot(k).mate->isChecked() || slot(k).address->text() != sender) continue;
        if (f->at(3) == "Req-Partner") {
            ShowPairingButtons(k, true);
            NMUDP2->remoteHost = slot(k).address->text();
            hasPartner = true;
            partnerSlot = k;
            SetCaptionsWithPartner(slot(k).name->text());
            if (f->at(4) == "Req") {
                NMUDP4->remoteHost = slot(k).address->text();
                NMUDP4->send(
                    Net::PairingMessage(Edit35->text(), slot(k).address->text(), Edit30->text(), "Req-Partner", "Ans"));
            }
        } else if (f->at(3) == "Can-Partner") {
            hasPartner = false;
            partnerSlot = 0;
            SetCaptionsToBase();
        }
    }
}

void Ttalk2e::StartupPartnerRequest() {
    if (!slot(1).mate->isChecked() || slot(2).mate->isChecked()) return;
    partnerSlot = 0;
    NMUDP4->remoteHost = slot(1).address->text();
    NMUDP4->send(Net::PairingMessage(Edit35->text(), slot(1).address->text(), Edit30->text(), "Req-Partner", "Req"));
}

// ---------------------------------------------------------------------------------------------
// Leaving

void Ttalk2e::LeaveGroup() { SendToMembers(*NMUDP10, Net::LeaveNotice(Edit35->text(), Edit30->text())); }

void Ttalk2e::NMUDP10DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (Net::CheckAddress(Edit35->text()) != 0 || CheckBox6->isChecked()) return;
    const auto f = Net::SplitControlMessage(payload);
    if (!f) return;
    if (const int k = FindMember(text(f->at(0)))) {
        slot(k).mate->setChecked(false);
        slot(k).name->clear();
        slot(k).address->clear();
    }
}

void Ttalk2e::LeaveMembersForChannel() {
    LeaveGroup();
    CheckBox6->setChecked(false);
    ClearMembers();
}

void Ttalk2e::LeaveOnExit() {
    DropPartner();
    LeaveGroup();
}
