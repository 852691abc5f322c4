#pragma once
// The page "ﾊﾟｰﾄﾅｰ" of the main window with the team it hosts: the own address and name, the eight
// member slots, search, pairing and input groups, the channel, traffic scrambling and the search
// of routed networks.
#include "net/team.h"
#include "ui/qt_fwd.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace App { struct Station; }

class PartnerPage : public QObject, private Net::TeamHost {
public:
    // What the page needs from the rest of the station, filled in by the main window. Every
    // function is asked at the moment of use.
    struct Links {
        App::Station& station;
        Net::Outbox& outbox;
        std::function<void(const QString&)> message;  // a box under "メッセージを表示する"
        std::function<void(const QString&)> log;      // a line at the end of the explanation page
        std::function<void(const QString&, const std::function<QString()>&)> logRepeated;
        std::function<bool()> showMessages;           // "メッセージを表示する"
        std::function<bool()> started;                // start-up is over
        std::function<void(const QString&)> ownAddressChanged;  // the audience page shows it
        // The 8-person monitor mirrors the slots' names and pairing buttons.
        std::function<void(int, const QString&)> slotNameChanged;
        std::function<void(int, bool)> pairingButtonsShown;
        // The captions of the main window and of the sub-input window.
        std::function<void(const QString& main, const QString& subInput)> setCaptions;
        std::function<void()> showPage;           // this page brought to the front
        std::function<void()> changeChannel;      // ChangeChannel: every endpoint to the new channel
        std::function<void()> readOwnName;        // the own name from the start-up file
    };
    PartnerPage(Links links, QObject* parent);

    // The page, as the third tab of `tabs`; its explanatory labels join `explanatory`.
    void build(QTabWidget* tabs, QList<QLabel*>& explanatory);
    void wire();
    void wireOptions();
    Net::Team& team() { return team_; }
    const Net::Team& team() const { return team_; }

    // ---- what the rest of the station reads ----
    QString ownAddress() const;
    QString ownName() const;
    void setOwnName(const QString& name);
    bool lanOn() const;      // "入力をＬＡＮに流す。"
    bool siblingOn() const;  // "７ｗに表示": the copy to the sibling display
    int channelIndex() const;
    int groupNumber() const;
    // The own addresses are listed in red: the user must choose one.
    bool addressListIsRed() const;

    // ---- start-up ----
    void DetectOwnAddress();
    // False, with "読込み失敗" in the field, when no usable own address was found.
    bool CheckOwnAddress();
    void CheckMemberAndRemoteAddresses();
    void StartupFinished();

    // ---- captions: the base (with the channel prefix once a channel is chosen), the partner's name ----
    QString mainCaptionBase() const { return channelPrefix_ + mainBaseCaption_; }
    QString subInputCaptionBase() const { return channelPrefix_ + subInputBaseCaption_; }
    void setChannelPrefix(int channel);
    static inline const QString kMainCaption = QStringLiteral("Quelta7r1(ctrl+d)");
    static inline const QString kSubInputCaption = QStringLiteral("サブ入力ウィンド(ctrl+i)");

    // ---- keys 166, 801, 802 of a settings file ----
    void SetOwnNameFromFile(const QString& name);
    void SetChannelFromFile(int value);
    void SetGroup(int group);

    // ---- traffic scrambling ----
    bool trafficScramblingOn() const;
    // The scrambled form while scrambling is on; nullopt (with a message) for a text too long for it.
    std::optional<QByteArray> ScrambleTraffic(const QByteArray& plain);
    QByteArray UnscrambleTraffic(const QByteArray& text) const;
    void Edit1Change();  // the key from the password; an empty field takes the fallback password
    int trafficKey() const { return trafficKey_; }

    // The members (and the partner) are the senders the receive queues serve first; run whenever a
    // slot's address or mate box changes.
    void PreferTeamSenders();

    // The controls the main window's setting rows bind, until those rows come here.
    struct SettingControls {
        QCheckBox* CheckBox22;
        QCheckBox* CheckBox71;
        QCheckBox* CheckBox72;
        QLineEdit* Edit98;
        QLineEdit* Edit99;
        QLineEdit* Edit100;
        QCheckBox* CheckBox42;
        QLineEdit* Edit1;
        QCheckBox* CheckBox60;
        QComboBox* ComboBox1;
    };
    SettingControls settingControls() const;

private:
    struct MemberSlot {
        QCheckBox* mate = nullptr;       // "仲間"
        QLineEdit* name = nullptr;       // "名前"
        QLineEdit* address = nullptr;    // "ＩＰアドレス"
        QPushButton* request = nullptr;  // "なってよ！"
        QPushButton* partner = nullptr;  // "パートナー"
    };
    static constexpr int kSlots = Net::kMemberSlots;
    // Slot k = 1 … 8.
    const MemberSlot& slot(int k) const { return slots_[k - 1]; }

    void Edit35Change();
    void Edit30Change();
    void Edit30FocusOut();
    void SlotAddressChange(int k);
    void MirrorSlotName(int k);
    void ShowPairingButtons(int k, bool partner);
    void Button39Click();  // "ＩＰ再読込み"
    void Button36Click();  // "ＩＰ一覧"
    void Button38Click();  // "ＩＰの調べ方"
    void CheckBox22Click();
    void CheckBox42Click();  // captions and help of scrambling
    void CheckBox71Click();  // the routed search on: its addresses checked
    void CheckBox72Click();  // addresses only: the routed search on too
    void CheckBox60Click();  // the copy to the sibling display: its usage text
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Net::TeamHost
    Net::TeamOptions teamOptions() const override;
    Net::SlotViews memberSlots() const override;
    QStringList mateAddresses() const override;
    void setSlot(int k, const Net::SlotView& slot) override;
    void setOwnAddress(const QString& address) override;
    QStringList interfaceAddresses() const override;
    void setMembersFixed(bool on) override;
    void setPartnerFixed(bool on) override;
    void showPairingButtons(int k, bool partner) override { ShowPairingButtons(k, partner); }
    void captionsToBase() override;
    void captionsWithPartner(const QString& name) override;
    void message(const QString& text) override;
    void log(const QString& line) override;
    void logRepeated(const QString& kind, const std::function<QString()>& line) override;
    QDateTime now() const override;

    Links links_;
    Net::Team team_;
    bool nameChanged_ = false;  // the own name was edited: tell the user how to announce it
    int trafficKey_ = 0;
    QString mainBaseCaption_ = kMainCaption;
    QString subInputBaseCaption_ = kSubInputCaption;
    QString channelPrefix_;

    QGroupBox* GroupOwnPc = nullptr;  // "自分のパソコン"
    QLineEdit* Edit35 = nullptr;      // own address
    QLineEdit* Edit30 = nullptr;      // own name
    QListWidget* ListBox2 = nullptr;  // own addresses, red when the user must choose
    QPushButton* Button39 = nullptr;  // "ＩＰ再読込み"
    QPushButton* Button36 = nullptr;  // "ＩＰ一覧": the own addresses
    QPushButton* Button38 = nullptr;  // "ＩＰの調べ方": how to find them
    QCheckBox* CheckBox22 = nullptr;  // "入力をＬＡＮに流す。"
    // "班のメンバー一覧": eight member slots, #1 … #8
    QGroupBox* GroupMembers = nullptr;
    MemberSlot slots_[kSlots];
    QCheckBox* CheckBox6 = nullptr;    // "ﾒﾝﾊﾞｰ固定  "
    QCheckBox* CheckBox7 = nullptr;    // "ﾊﾟｰﾄﾅｰ固定"
    QPushButton* Button47 = nullptr;   // "メンバーを捜す"
    QPushButton* Button53 = nullptr;   // "お休み"
    QRadioButton *RadioButton6 = nullptr, *RadioButton7 = nullptr, *RadioButton8 = nullptr;
    QRadioButton *RadioButton9 = nullptr, *RadioButton10 = nullptr, *RadioButton11 = nullptr;
    QRadioButton* RadioButton12 = nullptr;  // "その他": "Ｇ班" … "Ｚ班" with ComboBox1
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;   // channel "1ch" … "12ch"
    QCheckBox* CheckBox60 = nullptr;  // "７ｗに表示"
    QCheckBox* CheckBox42 = nullptr;  // "通信を暗号化する。→パスワード"
    QLineEdit* Edit1 = nullptr;       // the traffic password, masked
    QPushButton* ButtonShowPassword = nullptr;  // "表示"/"隠す": the password in clear
    QCheckBox* CheckBox71 = nullptr;  // "下のﾈｯﾄﾜｰｸｱﾄﾞﾚｽを探す"
    QCheckBox* CheckBox72 = nullptr;  // "指定IPのみ探す"
    QLineEdit *Edit98 = nullptr, *Edit99 = nullptr, *Edit100 = nullptr;  // routed addresses 1 … 3
};
