#include "windows/messaging/fkey_memo.h"

#include "ui/settings_binders.h"


#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

TForm5::TForm5(const App::WindowContext& context)
    : AuxWindow(context, "TForm5", QStringLiteral("Ｆキー・メモ(ctrl+f)"), QStringLiteral(" : Ｆキー・メモ(ctrl+f)"),
                "hkey_fkeymemo") {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(kDefaultSize);
    auto* g = new QGridLayout(this);
    g->setContentsMargins(4, 4, 4, 4);
    g->setHorizontalSpacing(3);
    g->setVerticalSpacing(2);
    auto key = [&](int row, const QString& text) { g->addWidget(new QLabel(text, this), row, 0); };
    auto phraseRow = [&](int row, const char* fieldName, const char* boxName, QLineEdit*& edit, QCheckBox*& box) {
        edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(fieldName));
        edit->setAttribute(Qt::WA_InputMethodEnabled);
        box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(boxName));
        g->addWidget(edit, row, 1);
        g->addWidget(box, row, 2);
    };
    auto fixed = [&](int row, const QString& text, const char* name = nullptr) {
        auto* l = new QLabel(text, this);
        if (name) l->setObjectName(QString::fromLatin1(name));
        g->addWidget(l, row, 1, 1, 2);
        return l;
    };
    key(0, QStringLiteral("F1"));
    phraseRow(0, "Edit45", "CheckBox1", Edit45, CheckBox1);
    LabelF1 = fixed(0, QStringLiteral("「入力読み」（ルビ）を挿入"), "LabelF1");
    key(1, QStringLiteral("F2"));
    phraseRow(1, "Edit56", "CheckBox2", Edit56, CheckBox2);
    key(2, QStringLiteral("F3"));
    phraseRow(2, "Edit57", "CheckBox3", Edit57, CheckBox3);
    key(3, QStringLiteral("F4"));
    phraseRow(3, "Edit58", "CheckBox4", Edit58, CheckBox4);
    key(4, QStringLiteral("F5"));
    phraseRow(4, "Edit59", "CheckBox5", Edit59, CheckBox5);
    key(5, QStringLiteral("F6"));
    phraseRow(5, "Edit60", "CheckBox6", Edit60, CheckBox6);
    key(6, QStringLiteral("F7"));
    phraseRow(6, "Edit61", "CheckBox7", Edit61, CheckBox7);
    LabelF7 = fixed(6, QStringLiteral("指定範囲を文字列で囲む"), "LabelF7");
    key(7, QStringLiteral("F8"));
    phraseRow(7, "Edit62", "CheckBox8", Edit62, CheckBox8);
    LabelF8 = fixed(7, QStringLiteral("指定のカッコでくくる。"), "LabelF8");
    key(8, QStringLiteral("F9"));
    fixed(8, QStringLiteral("表示を元に戻す（５度Ｕｎｄｏ可）"));
    key(9, QStringLiteral("10"));
    fixed(9, QStringLiteral("Windowsが使用。"));
    key(10, QStringLiteral("11"));
    phraseRow(10, "Edit65", "CheckBox9", Edit65, CheckBox9);
    LabelF11 = fixed(10, QStringLiteral("１字削除／画面消去(Shift+F11)"), "LabelF11");
    key(11, QStringLiteral("12"));
    fixed(11, QStringLiteral("前に空行が入るＥｎｔｅｒキー"));
    auto* foot = new QLabel(QStringLiteral("●チェックは入力部を消去してから挿入"), this);
    foot->setWordWrap(true);
    g->addWidget(foot, 12, 0, 1, 3);
    g->setRowStretch(13, 1);
    g->setColumnStretch(1, 1);
    UpdateRows({});
}

QLineEdit* TForm5::field(int fkey) const {
    switch (fkey) {
    case 1: return Edit45;
    case 2: return Edit56;
    case 3: return Edit57;
    case 4: return Edit58;
    case 5: return Edit59;
    case 6: return Edit60;
    case 7: return Edit61;
    case 8: return Edit62;
    case 11: return Edit65;
    default: return nullptr;
    }
}

QCheckBox* TForm5::clears(int fkey) const {
    switch (fkey) {
    case 1: return CheckBox1;
    case 2: return CheckBox2;
    case 3: return CheckBox3;
    case 4: return CheckBox4;
    case 5: return CheckBox5;
    case 6: return CheckBox6;
    case 7: return CheckBox7;
    case 8: return CheckBox8;
    case 11: return CheckBox9;
    default: return nullptr;
    }
}

QString TForm5::phrase(int fkey) const { return field(fkey) ? field(fkey)->text() : QString(); }
bool TForm5::clearsPane(int fkey) const { return clears(fkey) && clears(fkey)->isChecked(); }

void TForm5::UpdateRows(TakenKeys taken) {
    auto show = [](QLineEdit* edit, QCheckBox* box, QLabel* label, bool taken) {
        edit->setVisible(!taken);
        box->setVisible(!taken);
        label->setVisible(taken);
    };
    show(Edit45, CheckBox1, LabelF1, taken.f1);
    show(Edit61, CheckBox7, LabelF7, taken.f7);
    show(Edit62, CheckBox8, LabelF8, taken.f8);
    show(Edit65, CheckBox9, LabelF11, taken.f11);
}

// Every phrase field follows the window's width through the stretching middle column; the key and
// switch columns keep theirs. A minimum taken from the window's own width would feed back into the
// window's least width and widen it beyond its default.
void TForm5::resizeEvent(QResizeEvent* event) { AuxWindow::resizeEvent(event); }

bool TForm5::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) (Edit45->isHidden() ? Edit56 : Edit45)->setFocus();
    return AuxWindow::event(event);
}

// clang-format off
Settings::Rows<TForm5> TForm5::settingRows() {
    using enum Settings::Kind;
    static const Settings::Row<TForm5> rows[] = {
        {.key = 40, .control = "Edit45", .kind = Text, .comment = u"ファンクションキー１", .design = u""},
        {.key = 49, .control = "CheckBox1", .kind = OnOff, .comment = u"ファンクションキー１チェックボクックス", .design = u"off"},
        {.key = 41, .control = "Edit56", .kind = Text, .comment = u"ファンクションキー２", .design = u""},
        {.key = 50, .control = "CheckBox2", .kind = OnOff, .comment = u"ファンクションキー2チェックボクックス", .design = u"off"},
        {.key = 42, .control = "Edit57", .kind = Text, .comment = u"ファンクションキー３", .design = u""},
        {.key = 51, .control = "CheckBox3", .kind = OnOff, .comment = u"ファンクションキー3チェックボクックス", .design = u"off"},
        {.key = 43, .control = "Edit58", .kind = Text, .comment = u"ファンクションキー４", .design = u""},
        {.key = 52, .control = "CheckBox4", .kind = OnOff, .comment = u"ファンクションキー4チェックボクックス", .design = u"off"},
        {.key = 44, .control = "Edit59", .kind = Text, .comment = u"ファンクションキー５", .design = u""},
        {.key = 53, .control = "CheckBox5", .kind = OnOff, .comment = u"ファンクションキー5チェックボクックス", .design = u"off"},
        {.key = 45, .control = "Edit60", .kind = Text, .comment = u"ファンクションキー６", .design = u""},
        {.key = 54, .control = "CheckBox6", .kind = OnOff, .comment = u"ファンクションキー6チェックボクックス", .design = u"off"},
        {.key = 46, .control = "Edit61", .kind = Text, .comment = u"ファンクションキー７", .design = u""},
        {.key = 55, .control = "CheckBox7", .kind = OnOff, .comment = u"ファンクションキー7チェックボクックス", .design = u"off"},
        {.key = 47, .control = "Edit62", .kind = Text, .comment = u"ファンクションキー８", .design = u""},
        {.key = 56, .control = "CheckBox8", .kind = OnOff, .comment = u"ファンクションキー8チェックボクックス", .design = u"off"},
        {.key = 48, .control = "Edit65", .kind = Text, .comment = u"ファンクションキー１１", .design = u""},
        {.key = 57, .control = "CheckBox9", .kind = OnOff, .comment = u"ファンクションキー11チェックボクックス", .design = u"off",
         .step = &TForm5::resetFrame},
    };
    return rows;
}
// clang-format on

void TForm5::addSettings(Settings::KeyTable& t) {
    Bind::rows(t, this, settingRows());
    Bind::word(t, 161, this, u"Ｆキーメモ表示", u"Ｆキーメモ非表示", u"表示有無");
    Bind::number(t, 162, u"Ｆキーメモの縦位置", [this] { return y(); }, [this](int v) { move(x(), v); });
    Bind::number(t, 163, u"Ｆキーメモの横位置", [this] { return x(); }, [this](int v) { move(v, y()); });
    Bind::number(t, 164, u"Ｆキーメモの横幅", [this] { return width(); }, [this](int v) { resize(v, height()); });
    Bind::number(t, 165, u"Ｆキーメモの縦長さ", [this] { return height(); }, [this](int v) { resize(width(), v); });
}

// Its place follows the main window's; the main window moves it after the reset.
void TForm5::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TForm5::resetFrame() {
    hide();
    resize(kDefaultSize);
}
