// The option group of the partner page: traffic scrambling with its password and captions, the
// search of routed networks, and the copy to the sibling display.
#include "app/main_window.h"

#include "net/addressing.h"
#include "net/scramble.h"
#include "prepared/subinput_window.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

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

}  // namespace

void Ttalk2e::wireOptions() {
    connect(CheckBox42, &QCheckBox::toggled, this, &Ttalk2e::CheckBox42Click);
    connect(Edit1, &QLineEdit::textChanged, this, &Ttalk2e::Edit1Change);
    connect(CheckBox71, &QCheckBox::toggled, this, &Ttalk2e::CheckBox71Click);
    connect(CheckBox72, &QCheckBox::toggled, this, &Ttalk2e::CheckBox72Click);
    for (QLineEdit* e : {Edit98, Edit99, Edit100})
        connect(e, &QLineEdit::textChanged, this, [this] { CheckBox71->setChecked(false); });
    connect(CheckBox60, &QCheckBox::toggled, this, &Ttalk2e::CheckBox60Click);
    outbox_.scramble = [this](const QByteArray& plain) { return ScrambleTraffic(plain); };
    Edit1Change();
}

// ---------------------------------------------------------------------------------------------
// Traffic scrambling

bool Ttalk2e::trafficScramblingOn() const { return CheckBox42->isChecked(); }

void Ttalk2e::PrepareTrafficKey() { Edit1Change(); }

void Ttalk2e::Edit1Change() {
    if (Edit1->text().isEmpty()) {
        Edit1->setText(Net::fallbackPassword());  // which derives the key again
        return;
    }
    trafficKey_ = Net::DeriveKey(Cp932::encode(Edit1->text()));
}

std::optional<QByteArray> Ttalk2e::ScrambleTraffic(const QByteArray& plain) {
    if (!trafficScramblingOn()) return plain;
    const auto scrambled = Net::Scramble(plain, Cp932::encode(Edit1->text()), trafficKey_);
    // Too long for the scrambled form: refused, never sent as it is.
    if (!scrambled) Message(QStringLiteral("暗号化できない長さの文です。送信しませんでした。"));
    return scrambled;
}

QByteArray Ttalk2e::UnscrambleTraffic(const QByteArray& text) const {
    return Net::Unscramble(text, Cp932::encode(Edit1->text()), trafficKey_);
}

void Ttalk2e::CheckBox42Click() {
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
    setWindowTitle(mainCaptionBase() + withPartner);
    if (Form14) Form14->setWindowTitle(subInputCaptionBase() + withPartner);
    if (on && started_) Message(kScramblingHelp);
}

// ---------------------------------------------------------------------------------------------
// The search of routed networks

void Ttalk2e::CheckBox71Click() {
    if (!CheckBox71->isChecked()) {
        CheckBox72->setChecked(false);
        return;
    }
    static const QString kOrdinals[] = {QStringLiteral("１番目"), QStringLiteral("２番目"), QStringLiteral("３番目")};
    QLineEdit* fields[] = {Edit98, Edit99, Edit100};
    for (int i = 0; i < 3; ++i) {
        if (fields[i]->text().isEmpty() || Net::CheckAddress(fields[i]->text()) == 0) continue;
        Message(kOrdinals[i] +
                QStringLiteral("のＩＰアドレスが間違っています。\nアドレスは、半角で「192.168.100.123」の様に入力します。"));
        fields[i]->clear();  // which turns the search off again
        return;
    }
    if (started_) Message(kRemoteHelp);
}

void Ttalk2e::CheckBox72Click() {
    if (!CheckBox72->isChecked()) return;
    if (started_) Message(kAddressesOnlyHelp);
    CheckBox71->setChecked(true);
}

void Ttalk2e::CheckBox60Click() {
    if (CheckBox60->isChecked() && started_) Message(kSiblingHelp);
}
