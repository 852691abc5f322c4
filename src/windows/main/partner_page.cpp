// The page "ﾊﾟｰﾄﾅｰ" of the main window with the team it hosts: the own address and name, the eight
// member slots, search, pairing and input groups, the channel, traffic scrambling and the search
// of routed networks.
#include "windows/main/partner_page.h"

#include "ui/form_builder.h"
#include "ui/station.h"
#include "net/addressing.h"
#include "net/network.h"
#include "net/outbox.h"
#include "net/port_plan.h"
#include "net/scramble.h"
#include "text/cp932.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

const QString kGuardMessage = QStringLiteral(
    "入力したＩＰアドレスが間違っていたので\n１０．１４．１．１に書き換えました。\nこのままでは、他のＱｕｅｌｔａと通信できません。\n\n"
    "書き換えている途中も通信しているため、挿入削除を\nうまく使って正しいＩＰの形を維持して書き換えてください。\n\n"
    "起動した時にこのメッセージが出る場合は、次のチェックをしてください。\n１）ＬＡＮカードが入っていない。\n"
    "２）「ＩＰアドレスを自動取得」にしているのにネットワークに接続していない。\n３）ＩＰアドレスが正しく設定されていない。");

const QString kNameNotice = QStringLiteral(
    "「自分のパソコン」の「名前」を変えた時は、\n新しい名前を他のパソコンに表示するために\n「パートナー」ページで次の操作をしてください。\n\n"
    "１）「お休み」ボタンを押す\n２）「メンバーを捜す」ボタンを押す。");

const QString kAddressListNote = QStringLiteral(
    "「ＩＰ一覧」は、このパソコンのＩＰアドレスを一覧で表示します。\n調べ方は「ＩＰの調べ方」のボタンを押してください。\n\n"
    "有線ＬＡＮで使用する時は eth0、enp… の行を見てください。\n無線ＬＡＮを使用する時は wlan0、wlp… の行を見てください。\n"
    "「/」の前の数字がＩＰアドレスです。lo（127.0.0.1）は通信には使えません。");

const QString kAddressListUnread = QStringLiteral(
    "このパソコンのＩＰアドレスを読み取れませんでした。\n調べ方は「ＩＰの調べ方」のボタンを押してください。");

const QString kAddressHowTo = QStringLiteral(
    "このパソコンのＩＰアドレスは、次のどちらかで調べられます。\n\n"
    "１）端末で「ip -4 addr」と入力する。\n　　「inet 192.168.1.10/24」の「/」の前がＩＰアドレスです。\n"
    "２）デスクトップの「ネットワーク設定」で、使っている接続の\n　　詳細を開く。\n\n"
    "有線ＬＡＮで使用する時は有線の接続（eth0、enp…）を見てください。\n"
    "無線ＬＡＮを使用する時は無線の接続（wlan0、wlp…）を見てください。\n"
    "lo（127.0.0.1）はこのパソコン自身を指すアドレスで、\n他のＱｕｅｌｔａとの通信には使えません。");

const QString kScramblingMark = QStringLiteral("【暗号化通信中】");

const QString kScramblingHelp = QStringLiteral(
    "「通信を暗号化する」のチェックを入れると入力や前ロールなどをパスワードで暗号化して送信します。\n"
    "暗号化中は、メインウィンドとサブ入力ウィンドのキャプション部に「【暗号化通信中】」と表示します。\n\n＜使い方＞\n"
    "インターネットや学校・会社などの不特定多数が共用するネットワークでＱｕｅｌｔａを使う場合、\n"
    "万が一、通信をモニター（覗き見）されると入力した内容がそのまま見えてしまいます。\n"
    "このような場合、チェックを入れると暗号化されて内容が分からなくなります。\n\n"
    "ＨＵＢなどで情報保障専用のＬＡＮを組んで入力する場合は必要ありません。\n\n＜注意＞\n"
    "全てのＱｕｅｌｔａで同じパスワードを入力し、チェックを入れてください。\n"
    "暗号化した文を「チェックを入れない」Ｑｕｅｌｔａが受信すると英数字の羅列になります。\n"
    "暗号化しない文を「チェックを入れた」Ｑｕｅｌｔａが受信すると「空行を表示」します。\n"
    "パスワードが合っていない暗号文を「チェックを入れた」Ｑｕｅｌｔａが受信すると\n意味の無い文字の羅列が表示されます。\n\n"
    "暗号は簡単なものですから、本格的な機密保持が必要な場合はＶＰＮルータを使うなどしてください。");

const QString kRemoteHelp = QStringLiteral(
    "チェックを入れるとＶＰＮルーターなどを使って遠隔地から入力ができます。\n\n"
    "下の枠に遠隔地のＩＰアドレスの一つを入力すると「メンバーを捜す」ボタンを\n"
    "押した時にそのネットワークにいるＱｕｅｌｔａを探しに行きます。\n"
    "「パートナー」ページのメンバー一覧に表示されれば、入力やモニターなど全てが、\n"
    "同じネットワークに接続しているメンバーと同様に動作します。\n\n"
    "グローバルアドレスを持っているパソコン同士なら、ＶＰＮルーターを使う必要\n"
    "はありません。インターネットに接続して、下の枠にＩＰアドレスを入力すれば\n探すことができます。\n\n＜注意＞\n"
    "インターネットとブロードバンドルーターを使って接続したり、ダイアルアップ\n"
    "で接続している場合は、「インターネット」ウィンドを使ってください。");

const QString kAddressesOnlyHelp = QStringLiteral(
    "チェックを入れると下の枠のＩＰアドレスそのものを探しに行きます。\n\n"
    "チェックを外した場合は、ネットワークアドレスとしてブロードキャストで\nネットワーク全体を探します。\n\n"
    "左の「下のネットワークアドレスも探す」のチェックを入れる必要があります。\n入っていない時は、自動的にチェックが入ります。");

const QString kSiblingHelp = QStringLiteral(
    "＜２重起動７ｗを７ｅの表示にする＞\n\n"
    "チャネルの『２重起動した「７ｗに表示」』チェックを入れると、同じパソコンで２重起動した\n"
    "７ｗに入力や受信した文などを表示することができます。\n\n＜使い方＞\n"
    "１）ノートテイクなどで、入力機を見てもらう場合、７ｅで入力しながら、２重起動した７ｗで\n"
    "ルビなどを表示することができます。\n"
    "２）７ｅで入力する時、文字色、ルビ、スライド前ロール、カラオケなど７ｗでないと確認\n"
    "できない表示を入力機でモニターすることができます。\n\n＜利用手順＞\n"
    "１）７ｗを起動し、チャネルで「２重起動用」を選びます。（７ｅが先でもよい。）\n"
    "２）７ｅを起動し、チャンネルの『２重起動した「７ｗに表示」』チェックを入れます。\n"
    "３）７ｗで、ルビ、文字カラ、スライド前ロールなど表示機と同じ表示設定をします。\n"
    "４）７ｅで、入力用の表示設定をします。\n"
    "　　７ｅは、ＣＰＵ負荷を下げるため「ワープロ画面」にすることを推奨します。\n"
    "５）７ｅで入力しながら、７ｗの表示部が見易いようにウィンドをレイアウトします。\n"
    "　　２重起動の７ｅと７ｗの表示設定を保存しておくと良いと思います。\n\n＜ウインドレイアウトのヒント＞\n"
    "１）例えば、７ｗ表示部をふつう７ｅ表示部を置く所に置きます。\n"
    "２）その下に７ｅのサブ入力ウィンドを置きます。\n"
    "　　７ｅのメインウィンドは、大きさはそのままにして画面の右端にはみ出すように\n"
    "　　「仮置き」します。７ｅの設定を変更する時は、画面の中に移動させて操作します。\n"
    "　　残りのスペースに７ｅの他のウィンドを開きます。７ｗは表示部のみとします。");

void setRed(QListWidget* list, bool red) {
    QPalette p = list->palette();
    p.setColor(QPalette::Base, red ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Base));
    list->setPalette(p);
}

bool isRed(const QListWidget* list) { return list->palette().color(QPalette::Base) == QColor(255, 0, 0); }

}  // namespace

PartnerPage::PartnerPage(Links links, QObject* parent)
    : QObject(parent), links_(std::move(links)), team_(links_.outbox, *this) {}

// Two columns that fit the main window as it opens: the member list with the routed search and
// scrambling on the left; the own computer, the search buttons, the group, the channel and the
// LAN switch on the right. Explanations sit beside what they explain.
void PartnerPage::build(QTabWidget* tabs, QList<QLabel*>& explanatory) {
    auto* page = new Form::Page(tabs, 2);
    page->setObjectName(QStringLiteral("TabSheet3"));
    tabs->addTab(page, QStringLiteral("ﾊﾟｰﾄﾅｰ"));
    if (auto* columns = qobject_cast<QHBoxLayout*>(page->widget()->layout())) {
        columns->setSpacing(4);
        columns->setStretch(0, 0);  // the member list as wide as its rows, the rest to the right
    }

    // ---- left: the member list ----
    GroupMembers = page->group(0, QStringLiteral("班のメンバー一覧"), "GroupMembers");
    GroupMembers->layout()->setSpacing(1);
    QWidget* head = Form::row(GroupMembers);
    QLabel* heads[3];
    for (int i = 0; const char* h : {"仲間", "名前", "ＩＰアドレス"}) heads[i++] = Form::label(head, QString::fromUtf8(h));
    static_cast<QHBoxLayout*>(head->layout())->addStretch(1);
    struct Names {
        const char *mate, *name, *address, *request, *partner;
    };
    static constexpr Names kNames[kSlots] = {
        {"CheckBox1", "Edit36", "Edit3", "Button26", "Button22"},
        {"CheckBox2", "Edit37", "Edit13", "Button29", "Button24"},
        {"CheckBox3", "Edit38", "Edit14", "Button30", "Button25"},
        {"CheckBox4", "Edit39", "Edit15", "Button31", "Button32"},
        {"CheckBox25", "Edit81", "Edit85", "Button55", "Button59"},
        {"CheckBox26", "Edit82", "Edit86", "Button56", "Button60"},
        {"CheckBox27", "Edit83", "Edit87", "Button57", "Button61"},
        {"CheckBox28", "Edit84", "Edit88", "Button58", "Button62"},
    };
    QLabel* mateNote = Form::label(GroupMembers, QStringLiteral("「仲間のチェック」を外すと、その人には入力文を送信しません。"));
    mateNote->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // the rows set the width
    explanatory << mateNote;
    for (int i = 0; i < kSlots; ++i) {
        QWidget* r = Form::row(GroupMembers);
        MemberSlot& s = slots_[i];
        s.mate = Form::check(r, kNames[i].mate, QStringLiteral("#%1").arg(i + 1), false);
        s.name = Form::edit(r, kNames[i].name, QString(), 84);
        s.address = Form::edit(r, kNames[i].address, QString(), 108);
        s.request = Form::narrowToCaption(Form::button(r, kNames[i].request, QStringLiteral("なってよ！")));
        s.partner = Form::narrowToCaption(Form::button(r, kNames[i].partner, QStringLiteral("パートナー")));
        s.partner->hide();
        static_cast<QHBoxLayout*>(r->layout())->addStretch(1);
    }
    // The headings over their columns.
    heads[0]->setFixedWidth(qMax(heads[0]->sizeHint().width(), slots_[kSlots - 1].mate->sizeHint().width()));
    heads[1]->setFixedWidth(slots_[0].name->width());
    heads[2]->setFixedWidth(slots_[0].address->width());
    for (const MemberSlot& s : slots_) s.mate->setFixedWidth(heads[0]->width());

    // The search of routed networks: the addresses numbered as their messages count them.
    QGroupBox* remote = page->group(0, QStringLiteral("遠隔地で入力。ＶＰＮルーター（ｲﾝﾀｰﾈｯﾄ）を使う"), "GroupRemote");
    QWidget* searches = Form::row(remote);
    CheckBox71 = Form::check(searches, "CheckBox71", QStringLiteral("下のﾈｯﾄﾜｰｸｱﾄﾞﾚｽを探す"), false);
    CheckBox72 = Form::check(searches, "CheckBox72", QStringLiteral("指定IPのみ探す"), false);
    const QString ordinals[] = {QStringLiteral("１番目"), QStringLiteral("２番目"), QStringLiteral("３番目")};
    QLineEdit** fields[] = {&Edit98, &Edit99, &Edit100};
    const char* names[] = {"Edit98", "Edit99", "Edit100"};
    auto* addresses = new QWidget(remote);
    remote->layout()->addWidget(addresses);
    auto* grid = new QGridLayout(addresses);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    grid->setHorizontalSpacing(4);
    for (int i = 0; i < 3; ++i) {
        auto* number = new QLabel(ordinals[i], addresses);
        *fields[i] = new QLineEdit(addresses);
        (*fields[i])->setObjectName(QString::fromLatin1(names[i]));
        number->setBuddy(*fields[i]);
        grid->addWidget(number, i, 0);
        grid->addWidget(*fields[i], i, 1);
    }

    // Scrambling in one row: the password field takes what the check box leaves.
    QGroupBox* scramble = page->group(0, QStringLiteral("暗号化"), "GroupScramble");
    QWidget* passwordRow = Form::row(scramble);
    CheckBox42 = Form::check(passwordRow, "CheckBox42", QStringLiteral("通信を暗号化する。→パスワード"), false);
    Edit1 = Form::edit(passwordRow, "Edit1", QStringLiteral("既定の共有合言葉その一番"));
    Edit1->setMaxLength(254);
    Edit1->setEchoMode(QLineEdit::Password);  // typed where others may see the screen
    ButtonShowPassword =
        Form::narrowToCaption(Form::button(passwordRow, "ButtonShowPassword", QStringLiteral("表示")));
    ButtonShowPassword->setCheckable(true);
    connect(ButtonShowPassword, &QPushButton::toggled, this, [this](bool shown) {
        Edit1->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        ButtonShowPassword->setText(shown ? QStringLiteral("隠す") : QStringLiteral("表示"));
    });

    // ---- right: the own computer ----
    GroupOwnPc = page->group(1, QStringLiteral("自分のパソコン"), "GroupOwnPc");
    auto* own = new QWidget(GroupOwnPc);
    GroupOwnPc->layout()->addWidget(own);
    auto* ownGrid = new QGridLayout(own);
    ownGrid->setContentsMargins(0, 0, 0, 0);
    ownGrid->setSpacing(1);
    ownGrid->setHorizontalSpacing(4);
    auto* addressLabel = new QLabel(QStringLiteral("ＩＰアドレス"), own);
    Edit35 = new QLineEdit(QStringLiteral("読込み失敗"), own);
    Edit35->setObjectName(QStringLiteral("Edit35"));
    addressLabel->setBuddy(Edit35);
    auto* nameLabel = new QLabel(QStringLiteral("名前（初はhost名）"), own);
    Edit30 = new QLineEdit(own);
    Edit30->setObjectName(QStringLiteral("Edit30"));
    nameLabel->setBuddy(Edit30);
    ownGrid->addWidget(addressLabel, 0, 0);
    ownGrid->addWidget(Edit35, 0, 1);
    ownGrid->addWidget(nameLabel, 1, 0);
    ownGrid->addWidget(Edit30, 1, 1);
    ListBox2 = Form::place(GroupOwnPc, new QListWidget(GroupOwnPc), "ListBox2");
    ListBox2->setMaximumHeight(80);
    ListBox2->hide();
    QWidget* tools = Form::row(GroupOwnPc);
    Button39 = Form::narrowToCaption(Form::button(tools, "Button39", QStringLiteral("ＩＰ再読込み")));
    Button36 = Form::narrowToCaption(Form::button(tools, "Button36", QStringLiteral("ＩＰ一覧")));
    Button38 = Form::narrowToCaption(Form::button(tools, "Button38", QStringLiteral("ＩＰの調べ方")));
    connect(ListBox2, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!item) return;
        Edit35->setText(item->text());
        ListBox2->hide();
        Button39->show();
    });

    // The search and leave buttons with their explanations beside them.
    QGroupBox* search = page->group(1, QStringLiteral("メンバー"), "GroupSearch");
    QWidget* again = Form::row(search);
    Button47 = Form::button(again, "Button47", QStringLiteral("メンバーを捜す"));
    explanatory << Form::label(again, QStringLiteral("●左ボタンを押すと、メンバーをクリアしてから、もう一度探しに行きます。"));
    QWidget* rest = Form::row(search);
    explanatory << Form::label(rest, QStringLiteral("メンバーから外れる時に右のボタン●"));
    Button53 = Form::button(rest, "Button53", QStringLiteral("お休み"));
    QWidget* fixed = Form::row(search);
    CheckBox6 = Form::check(fixed, "CheckBox6", QStringLiteral("ﾒﾝﾊﾞｰ固定  "), false);
    explanatory << Form::label(fixed, QStringLiteral("「メンバーを捜す」を無視。"));
    CheckBox7 = Form::check(search, "CheckBox7", QStringLiteral("ﾊﾟｰﾄﾅｰ固定"), false);

    // The group and the channel side by side.
    auto* where = page->add(1, new QWidget);
    auto* whereRow = new QHBoxLayout(where);
    whereRow->setContentsMargins(0, 0, 0, 0);
    whereRow->setSpacing(4);
    QGroupBox* groups = Form::group(where, QStringLiteral("入力班"), "GroupInputGroup");
    QWidget* g1 = Form::row(groups);
    RadioButton6 = Form::radio(g1, "RadioButton6", QStringLiteral("Ａ班"), true);
    RadioButton7 = Form::radio(g1, "RadioButton7", QStringLiteral("Ｂ班"), false);
    RadioButton8 = Form::radio(g1, "RadioButton8", QStringLiteral("Ｃ班"), false);
    QWidget* g2 = Form::row(groups);
    RadioButton9 = Form::radio(g2, "RadioButton9", QStringLiteral("Ｄ班"), false);
    RadioButton10 = Form::radio(g2, "RadioButton10", QStringLiteral("Ｅ班"), false);
    RadioButton11 = Form::radio(g2, "RadioButton11", QStringLiteral("Ｆ班"), false);
    QWidget* g3 = Form::row(groups);
    RadioButton12 = Form::radio(g3, "RadioButton12", QStringLiteral("その他"), false);
    ComboBox1 = Form::place(g3, new QComboBox(g3), "ComboBox1");
    static_cast<QHBoxLayout*>(g3->layout())->addStretch(1);
    auto* groupButtons = new QButtonGroup(groups);  // the seven radio buttons sit in three rows
    for (QRadioButton* r : {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11,
                            RadioButton12})
        groupButtons->addButton(r);
    ComboBox1->addItems({QStringLiteral("Ｇ班"), QStringLiteral("Ｈ班"), QStringLiteral("Ｉ 班"), QStringLiteral("Ｊ班"),
                         QStringLiteral("Ｋ班"), QStringLiteral("Ｌ班"), QStringLiteral("Ｍ班"), QStringLiteral("Ｎ班"),
                         QStringLiteral("Ｏ班"), QStringLiteral("Ｐ班"), QStringLiteral("Ｑ班"), QStringLiteral("Ｒ班"),
                         QStringLiteral("Ｓ班"), QStringLiteral("Ｔ班"), QStringLiteral("Ｕ班"), QStringLiteral("Ｖ班"),
                         QStringLiteral("Ｗ班"), QStringLiteral("Ｘ班"), QStringLiteral("Ｙ班"), QStringLiteral("Ｚ班")});
    // Shows the first of the other groups; the group in force stays with the radio buttons.
    ComboBox1->setCurrentIndex(0);

    QGroupBox* channel = Form::group(where, QStringLiteral("チャンネル"), "GroupChannel");
    ComboBox2 = Form::place(channel, new QComboBox(channel), "ComboBox2");
    for (int c = 1; c <= Net::kChannelCount; ++c) ComboBox2->addItem(QStringLiteral("%1ch").arg(c));
    ComboBox2->setCurrentIndex(0);
    Form::label(channel, QStringLiteral("↓２重起動した"));
    CheckBox60 = Form::check(channel, "CheckBox60", QStringLiteral("７ｗに表示"), false);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] { links_.changeChannel(); });

    CheckBox22 = Form::check(page->group(1, QStringLiteral("ＬＡＮ"), "GroupLan"), "CheckBox22",
                             QStringLiteral("入力をＬＡＮに流す。"), true);
    connect(CheckBox22, &QCheckBox::toggled, this, &PartnerPage::CheckBox22Click);
}

// ---------------------------------------------------------------------------------------------
// The own address: detected at start-up, chosen from a red list when there are several

void PartnerPage::DetectOwnAddress() {
    const Net::HostIdentity id = links_.station.network.hostIdentity();
    if (id.hostName.isEmpty()) return;
    Edit30->setText(id.hostName);
    if (id.ipv4Addresses.isEmpty()) {
        Button39->hide();
        ListBox2->clear();
        ListBox2->addItem(QStringLiteral("0 またはDHCPサーバ"));
        setRed(ListBox2, true);
        ListBox2->show();
        return;
    }
    Edit35->setText(id.ipv4Addresses.first());
    ListBox2->clear();
    ListBox2->addItems(id.ipv4Addresses);
    if (ListBox2->count() > 1) {
        Button39->hide();
        setRed(ListBox2, true);
        ListBox2->show();
    }
}

bool PartnerPage::CheckOwnAddress() {
    if (Net::CheckAddress(Edit35->text()) == 0) return true;
    Edit35->setText(QStringLiteral("読込み失敗"));
    return false;
}

bool PartnerPage::addressListIsRed() const { return isRed(ListBox2); }

void PartnerPage::CheckBox22Click() {
    QPalette p = CheckBox22->palette();
    p.setColor(QPalette::WindowText,
               CheckBox22->isChecked() ? QApplication::palette().color(QPalette::WindowText) : QColor(255, 0, 0));
    CheckBox22->setPalette(p);
}

// ---------------------------------------------------------------------------------------------
// What the rest of the station reads

QString PartnerPage::ownAddress() const { return Edit35->text(); }
QString PartnerPage::ownName() const { return Edit30->text(); }
void PartnerPage::setOwnName(const QString& name) { Edit30->setText(name); }
bool PartnerPage::lanOn() const { return CheckBox22->isChecked(); }
bool PartnerPage::siblingOn() const { return CheckBox60->isChecked(); }

PartnerPage::SettingControls PartnerPage::settingControls() const {
    return {CheckBox22, CheckBox71, CheckBox72, Edit98, Edit99, Edit100, CheckBox42, Edit1, CheckBox60, ComboBox1};
}

void PartnerPage::setChannelPrefix(int channel) { channelPrefix_ = QString::number(channel) + QStringLiteral(" : "); }

int PartnerPage::channelIndex() const { return Net::channelIndexOf(ComboBox2 ? ComboBox2->currentIndex() : 0); }

// ---------------------------------------------------------------------------------------------
// Wiring

void PartnerPage::wire() {
    connect(Edit35, &QLineEdit::textChanged, this, &PartnerPage::Edit35Change);
    connect(Edit30, &QLineEdit::textChanged, this, &PartnerPage::Edit30Change);
    Edit30->installEventFilter(this);
    for (int k = 1; k <= kSlots; ++k) {
        const MemberSlot& s = slot(k);
        connect(s.address, &QLineEdit::textChanged, this, [this, k] { SlotAddressChange(k); });
        connect(s.address, &QLineEdit::textChanged, this, [this] { PreferTeamSenders(); });
        connect(s.mate, &QCheckBox::toggled, this, [this] { PreferTeamSenders(); });
        connect(s.name, &QLineEdit::textChanged, this, [this, k] { MirrorSlotName(k); });
        connect(s.request, &QPushButton::clicked, this, [this, k] { team_.requestPartner(k); });
        connect(s.partner, &QPushButton::clicked, this, [this, k] { team_.cancelPartner(k); });
    }
    connect(Button39, &QPushButton::clicked, this, &PartnerPage::Button39Click);
    connect(Button36, &QPushButton::clicked, this, &PartnerPage::Button36Click);
    connect(Button38, &QPushButton::clicked, this, &PartnerPage::Button38Click);
    connect(Button47, &QPushButton::clicked, this, [this] { team_.restartSearch(); });
    connect(Button53, &QPushButton::clicked, this, [this] { team_.rest(); });
    for (QRadioButton* r : {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11,
                            RadioButton12})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) team_.changeGroup();
        });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (RadioButton12->isChecked()) team_.changeGroup();
    });
}

// ---------------------------------------------------------------------------------------------
// Own address and name, member slots

void PartnerPage::Edit35Change() {
    links_.ownAddressChanged(Edit35->text());
    if (Net::CheckAddress(Edit35->text()) == 0) return;
    Edit35->setText(QStringLiteral("10.14.1.1"));
    message(kGuardMessage);
}

void PartnerPage::Edit30Change() { nameChanged_ = true; }

void PartnerPage::StartupFinished() {
    nameChanged_ = false;  // the name read at start-up is no change of the user's
}

bool PartnerPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit30 && event->type() == QEvent::FocusOut) Edit30FocusOut();
    return QObject::eventFilter(watched, event);
}

void PartnerPage::Edit30FocusOut() {
    if (!nameChanged_) return;
    message(kNameNotice);
    nameChanged_ = false;
}

void PartnerPage::SlotAddressChange(int k) {
    if (Net::CheckAddress(slot(k).address->text()) != 0) slot(k).mate->setChecked(false);
}

void PartnerPage::Button39Click() {
    DetectOwnAddress();
    links_.readOwnName();
}

// The own addresses as the station reads them, with what to look for (when messages are on).
void PartnerPage::Button36Click() {
    message(kAddressListNote);
    const QString report = links_.station.hostTools.addressReport();
    links_.station.messages.information(report.trimmed().isEmpty() ? kAddressListUnread
                                                                   : QStringLiteral("このパソコンのＩＰアドレス\n\n") + report);
}

// How to find the address with the system's own tools: asked for, so shown whatever the messages option.
void PartnerPage::Button38Click() { links_.station.messages.information(kAddressHowTo); }

void PartnerPage::CheckMemberAndRemoteAddresses() {
    for (int k = 1; k <= kSlots; ++k) SlotAddressChange(k);
}

int PartnerPage::groupNumber() const {
    const QRadioButton* fixed[] = {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11};
    for (int i = 0; i < 6; ++i)
        if (fixed[i]->isChecked()) return i + 1;
    if (RadioButton12->isChecked()) return 7 + qMax(0, ComboBox1->currentIndex());
    return 1;
}

// ---------------------------------------------------------------------------------------------
// What the team reads and changes on the partner page

Net::TeamOptions PartnerPage::teamOptions() const {
    Net::TeamOptions o;
    o.ownAddress = Edit35->text();
    o.ownName = Edit30->text();
    o.group = groupNumber();
    o.membersFixed = CheckBox6->isChecked();
    o.partnerFixed = CheckBox7->isChecked();
    o.remoteSearch = CheckBox71->isChecked();
    o.addressesOnly = CheckBox72->isChecked();
    o.remoteAddresses = {Edit98->text(), Edit99->text(), Edit100->text()};
    o.showMessages = links_.showMessages();
    return o;
}

Net::SlotViews PartnerPage::memberSlots() const {
    Net::SlotViews v;
    for (int k = 0; k < kSlots; ++k)
        v[k] = {slots_[k].mate->isChecked(), slots_[k].name->text(), slots_[k].address->text()};
    return v;
}

QStringList PartnerPage::mateAddresses() const {
    QStringList out;
    for (const MemberSlot& s : slots_)
        if (s.mate->isChecked()) out << s.address->text();
    return out;
}

void PartnerPage::setSlot(int k, const Net::SlotView& v) {
    const MemberSlot& s = slot(k);
    if (!v.mate) s.mate->setChecked(false);  // before the address guard would clear it anyway
    s.name->setText(v.name);
    s.address->setText(v.address);
    if (v.mate) s.mate->setChecked(true);
}

void PartnerPage::setOwnAddress(const QString& address) { Edit35->setText(address); }
QStringList PartnerPage::interfaceAddresses() const { return links_.station.network.hostIdentity().ipv4Addresses; }
void PartnerPage::setMembersFixed(bool on) { CheckBox6->setChecked(on); }
void PartnerPage::setPartnerFixed(bool on) { CheckBox7->setChecked(on); }
QDateTime PartnerPage::now() const { return links_.station.clock.now(); }
void PartnerPage::message(const QString& text) { links_.message(text); }
void PartnerPage::log(const QString& line) { links_.log(line); }
void PartnerPage::logRepeated(const QString& kind, const std::function<QString()>& line) { links_.logRepeated(kind, line); }

void PartnerPage::captionsToBase() {
    links_.setCaptions(mainCaptionBase(), subInputCaptionBase());
}

void PartnerPage::captionsWithPartner(const QString& name) {
    const QString withPartner = QStringLiteral("  <") + name + u'>';
    links_.setCaptions(mainCaptionBase() + withPartner, subInputCaptionBase() + withPartner);
}

void PartnerPage::ShowPairingButtons(int k, bool partner) {
    if (k < 1 || k > kSlots) return;
    slot(k).request->setVisible(!partner);
    slot(k).partner->setVisible(partner);
    links_.pairingButtonsShown(k, partner);
}

// ---------------------------------------------------------------------------------------------
// The option group: traffic scrambling, the search of routed networks, the sibling copy

void PartnerPage::wireOptions() {
    connect(CheckBox42, &QCheckBox::toggled, this, &PartnerPage::CheckBox42Click);
    connect(Edit1, &QLineEdit::textChanged, this, &PartnerPage::Edit1Change);
    connect(CheckBox71, &QCheckBox::toggled, this, &PartnerPage::CheckBox71Click);
    connect(CheckBox72, &QCheckBox::toggled, this, &PartnerPage::CheckBox72Click);
    for (QLineEdit* e : {Edit98, Edit99, Edit100})
        connect(e, &QLineEdit::textChanged, this, [this] { CheckBox71->setChecked(false); });
    connect(CheckBox60, &QCheckBox::toggled, this, &PartnerPage::CheckBox60Click);
    links_.outbox.scramble = [this](const QByteArray& plain) { return ScrambleTraffic(plain); };
    Edit1Change();
}

// ---------------------------------------------------------------------------------------------
// Traffic scrambling

bool PartnerPage::trafficScramblingOn() const { return CheckBox42->isChecked(); }

void PartnerPage::Edit1Change() {
    if (Edit1->text().isEmpty()) {
        Edit1->setText(Net::fallbackPassword());  // which derives the key again
        return;
    }
    trafficKey_ = Net::DeriveKey(Cp932::encode(Edit1->text()));
}

std::optional<QByteArray> PartnerPage::ScrambleTraffic(const QByteArray& plain) {
    if (!trafficScramblingOn()) return plain;
    const auto scrambled = Net::Scramble(plain, Cp932::encode(Edit1->text()), trafficKey_);
    // Too long for the scrambled form: refused, never sent as it is.
    if (!scrambled) message(QStringLiteral("暗号化できない長さの文です。送信しませんでした。"));
    return scrambled;
}

QByteArray PartnerPage::UnscrambleTraffic(const QByteArray& text) const {
    return Net::Unscramble(text, Cp932::encode(Edit1->text()), trafficKey_);
}

void PartnerPage::CheckBox42Click() {
    const bool on = CheckBox42->isChecked();
    if (on) {
        if (!mainBaseCaption_.endsWith(kScramblingMark)) mainBaseCaption_ += kScramblingMark;
        if (!subInputBaseCaption_.endsWith(kScramblingMark)) subInputBaseCaption_ += kScramblingMark;
    } else {
        // Back to the start-up captions: the channel prefix too, until the next channel change.
        mainBaseCaption_ = kMainCaption;
        subInputBaseCaption_ = kSubInputCaption;
        channelPrefix_.clear();
    }
    int partner = 0;
    for (int k = 1; k <= kSlots && !partner; ++k)
        if (!slot(k).partner->isHidden()) partner = k;
    const QString withPartner = partner ? u'<' + slot(partner).name->text() + u'>' : QString();
    links_.setCaptions(mainCaptionBase() + withPartner, subInputCaptionBase() + withPartner);
    if (on && links_.started()) message(kScramblingHelp);
}

// ---------------------------------------------------------------------------------------------
// The search of routed networks

void PartnerPage::CheckBox71Click() {
    if (!CheckBox71->isChecked()) {
        CheckBox72->setChecked(false);
        return;
    }
    static const QString kOrdinals[] = {QStringLiteral("１番目"), QStringLiteral("２番目"), QStringLiteral("３番目")};
    QLineEdit* fields[] = {Edit98, Edit99, Edit100};
    for (int i = 0; i < 3; ++i) {
        if (fields[i]->text().isEmpty() || Net::CheckAddress(fields[i]->text()) == 0) continue;
        message(kOrdinals[i] +
                QStringLiteral("のＩＰアドレスが間違っています。\nアドレスは、半角で「192.168.100.123」の様に入力します。"));
        fields[i]->clear();  // which turns the search off again
        return;
    }
    if (links_.started()) message(kRemoteHelp);
}

void PartnerPage::CheckBox72Click() {
    if (!CheckBox72->isChecked()) return;
    if (links_.started()) message(kAddressesOnlyHelp);
    CheckBox71->setChecked(true);
}

void PartnerPage::CheckBox60Click() {
    if (CheckBox60->isChecked() && links_.started()) message(kSiblingHelp);
}

// ---------------------------------------------------------------------------------------------
// Keys 166, 801 and 802 of a settings file

// Key 166: a name other than the one in force is announced to the user, with the partner page.
void PartnerPage::SetOwnNameFromFile(const QString& name) {
    if (name != Edit30->text() && links_.showMessages()) {
        links_.station.messages.information(QStringLiteral(
            "このパソコンの「名前」が変わりました。\n新しい名前を他のパソコンに表示するために\n"
            "「パートナー」ページで次の操作をしてください。\n\n１）「お休み」ボタンを押す\n２）「メンバーを捜す」ボタンを押す。"));
        links_.showPage();
    }
    Edit30->setText(name);
}

// Key 801: "12", an index this combo does not offer, and anything out of range select "1ch"; the
// channel change runs once, whether the index changed or not.
void PartnerPage::SetChannelFromFile(int value) {
    const int index = value >= 0 && value < Net::kChannelCount ? value : 0;
    {
        const QSignalBlocker block(ComboBox2);
        ComboBox2->setCurrentIndex(index);
    }
    links_.changeChannel();
}

// Key 802: the radio button of the group (and the combo beyond "Ｆ班"); a group the selectors do not
// offer selects "Ａ班". The button's own handler changes the group when it was not selected yet.
void PartnerPage::SetGroup(int group) {
    if (group < 1 || group > 26) group = 1;
    QRadioButton* fixed[] = {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11};
    if (group <= 6) {
        fixed[group - 1]->setChecked(true);
        return;
    }
    if (RadioButton12->isChecked()) {
        ComboBox1->setCurrentIndex(group - 7);  // its handler changes the group
        return;
    }
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(group - 7);
    }
    RadioButton12->setChecked(true);
}

// ---------------------------------------------------------------------------------------------
// The 8-person monitor mirrors the slots' names; the receive queues serve the team first

void PartnerPage::MirrorSlotName(int k) {
    links_.slotNameChanged(k, slot(k).name->text());
}

void PartnerPage::PreferTeamSenders() {
    QStringList team = mateAddresses();
    if (team_.hasPartner()) team << team_.partnerAddress();
    links_.station.network.receiveQueue().setPreferredSenders(team);
}
