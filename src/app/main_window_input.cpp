// The input pane: its keys, the automatic sends, the reading (ruby) capture, the live typing to the
// partner and to the 8-person monitor, and the partner's monitor pane.
#include "app/main_window.h"
#include "app/text_pane.h"

#include "app/form_builder.h"
#include "app/member_monitor.h"
#include "core/live_typing.h"
#include "messaging/fkey_memo.h"
#include "prepared/subinput_window.h"
#include "text/cp932.h"
#include "text/kana.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTimer>

namespace {

using Form::intOf;

bool isErase(int key) { return key == Qt::Key_Backspace || key == Qt::Key_Escape; }

const QString kBracketHelp = QStringLiteral(
    "下のカッコ枠で指定した文字で囲んで、「入力した読み」を入力部に挿入します。\n\n"
    "＜使い方＞\n１）漢字に変換して確定します。\n２）Ｆ１キーを押すと、その読みがカッコで囲まれてカーソルの位置に入ります。\n\n"
    "読みの文字は「半ｶﾀｶﾅ」「カタカナ」「ひらがな」から選べます。");
const QString kRubyHelp = QStringLiteral(
    " 「入力した読み」をルビ記号「‘ｒ」「‘ｓ」で囲い、変換した語の前に挿入します。\n\n"
    "＜使い方＞\n１）漢字に変換して確定します。\n２）Ｆ１キーを押すと、その語の前に「‘ｒ読み‘ｓ」が入ります。\n\n"
    "ルビは７ｗなどの表示機でルビとして表示されます。表示部では幅を取りません。");
const QString kDelClsHelp = QStringLiteral(
    "「表示２」ページの「Ｕｎｄｏの表示方法」の「描画する」のチェックを外しました。\n"
    "チェックを入れておくとＦ１１キーを使った後にＵｎｄｏすると\n表示が一気に最下段まで下がるためです。");

}  // namespace

void Ttalk2e::wireInput() {
    RichEdit1->onKeyPress = [this](QKeyEvent* e) { return RichEdit1KeyDown(e); };
    RichEdit1->onKeyRelease = [this](QKeyEvent* e) { RichEdit1KeyUp(e); };
    RichEdit1->onInputMethod = [this](const QInputMethodEvent* e) { RichEdit1Composition(e); };
    RichEdit1->onMousePress = [this] {
        if (rubyOn()) wordEnd_ = RichEdit1->textCursor().position();
    };
    RichEdit27->onMousePress = [this] { RichEdit1->setFocus(); };
    connect(RichEdit1, &QTextEdit::textChanged, this, &Ttalk2e::RichEdit1Change);
    connect(Button3, &QPushButton::clicked, this, &Ttalk2e::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &Ttalk2e::Button4Click);
    connect(Button27, &QPushButton::clicked, this, &Ttalk2e::Button27Click);
    connect(Button34, &QPushButton::clicked, this, &Ttalk2e::Button34Click);
    connect(CheckBox47, &QCheckBox::toggled, this, &Ttalk2e::CheckBox47Click);
    connect(CheckBox58, &QCheckBox::toggled, this, &Ttalk2e::CheckBox58Click);
    connect(CheckBox59, &QCheckBox::toggled, this, &Ttalk2e::CheckBox59Click);
    connect(CheckBox15, &QCheckBox::toggled, this, [this](bool on) {
        if (on) return;
        Timer3->stop();
        SetStripColour(StripColour::Normal);
    });
    connect(CheckBox51, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) SetStripColour(StripColour::Normal);
    });
    connect(Edit68, &QLineEdit::textChanged, this, &Ttalk2e::Edit68Change);
    // The F-key memo shows which keys are taken by these options.
    for (QCheckBox* c : {CheckBox52, CheckBox43, CheckBox47, CheckBox58, CheckBox59})
        connect(c, &QCheckBox::toggled, this, &Ttalk2e::UpdateMemoRows);
}

void Ttalk2e::UpdateMemoRows() {
    if (Form5)
        Form5->UpdateRows({rubyOn(), CheckBox52->isChecked(), CheckBox43->isChecked(), CheckBox47->isChecked()});
}

bool Ttalk2e::rubyOn() const { return CheckBox58->isChecked() || CheckBox59->isChecked(); }

void Ttalk2e::ClearRubyCapture() {
    readingText_.clear();
    wordStart_ = 0;
    wordEnd_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Keys

bool Ttalk2e::RichEdit1KeyDown(QKeyEvent* e) {
    if ((CheckBox15->isChecked() || CheckBox23->isChecked()) && !Timer3->isActive())
        Timer3->start(intOf(Edit16, 15) * 1000);
    if (CheckBox20->isChecked() && !inputStarted_) markInputStart(station_.clock.now());
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl) {
            RichEdit1->insertLimited(QStringLiteral("\n"));  // a line break inside the pane
            if (rubyOn()) wordEnd_ += 2;
        } else {
            EnterKey();
        }
        return true;
    case Qt::Key_Escape:
        EscapeKey();
        return true;
    case Qt::Key_F1:
        if (rubyOn()) InsertReading();
        else InsertMemoText(1);
        return true;
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F5:
    case Qt::Key_F6:
        InsertMemoText(e->key() - Qt::Key_F1 + 1);
        return true;
    case Qt::Key_F7:
        if (!CorrectionTemplateFromRecord()) InsertMemoText(7);
        return true;
    case Qt::Key_F8:
        if (CheckBox43->isChecked()) BracketInput(shift);
        else InsertMemoText(8);
        return true;
    case Qt::Key_F9:
        UndoToInput(shift);
        return true;
    case Qt::Key_F11:
        if (CheckBox47->isChecked()) {
            if (shift) {
                ClearScreen();
                SendCommand(Net::Wire::Command::Clear);
            } else {
                DeleteLastChar();
                SendCommand(Net::Wire::Command::Delete);
            }
        } else {
            InsertMemoText(11);
        }
        return true;
    case Qt::Key_F12:
        F12Key();
        return true;
    default:
        return false;  // the pane's own handling (Ctrl+Z brings an erased text back)
    }
}

void Ttalk2e::EnterKey() {
    if (!display_->scrolling()) {
        display_->ReadScrollInterval();
        display_->StartScrollTimer();
    }
    if (display_->correctionMode()) {
        display_->setCorrectionMode(false);  // the display takes the held texts
        Button12->setText(QStringLiteral("止"));
        display_->SetInputPaneNormal(true);
    }
    if (rubyOn()) ClearRubyCapture();
    SendInputPane();
}

void Ttalk2e::EscapeKey() {
    QTextCursor c(RichEdit1->document());
    c.select(QTextCursor::Document);
    const QString erased = c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    c.removeSelectedText();  // through the pane's undo, so Ctrl+Z brings it back
    station_.clipboard.setText(erased);
    if (CheckBox15->isChecked() || CheckBox23->isChecked()) {
        Timer3->stop();
        SetStripColour(StripColour::Normal);
    }
    inputStarted_ = false;
    if (rubyOn()) ClearRubyCapture();
}

void Ttalk2e::SendInputPane() {
    if (CheckBox53->isChecked()) {
        QTextCursor c = RichEdit1->textCursor();
        const int caret = c.position();
        c.setPosition(0);
        c.setPosition(caret, QTextCursor::KeepAnchor);
        RichEdit1->setTextCursor(c);
        SendInputPaneLine(Cp932::encodeCrLf(c.selectedText()));
    } else {
        SendInputPaneLine(Cp932::encodeCrLf(RichEdit1->toPlainText()));
    }
}

void Ttalk2e::F12Key() {
    if (rubyOn()) ClearRubyCapture();
    QTextCursor c = RichEdit1->textCursor();
    const QString whole = RichEdit1->toPlainText();
    const QString before = whole.left(c.position());
    const QString after = whole.mid(c.position());
    RichEdit1->clear();
    SendInputPane();  // an empty send: a blank line on the display
    auto putWithCaret = [this](const QString& text, bool caretAtEnd) {
        RichEdit1->setLimitedText(text);
        QTextCursor k(RichEdit1->document());
        k.movePosition(caretAtEnd ? QTextCursor::End : QTextCursor::Start);
        RichEdit1->setTextCursor(k);
    };
    if (CheckBox53->isChecked()) {
        putWithCaret(before, true);
        SendInputPane();
        if (CheckBox13->isChecked()) {
            RichEdit1->clear();
            SendInputPane();
        }
        putWithCaret(after, false);
    } else {
        putWithCaret(whole, true);
        SendInputPane();
        if (CheckBox13->isChecked()) {
            RichEdit1->clear();
            SendInputPane();
        }
    }
    if (RichEdit1->document()->firstBlock().text().isEmpty() && !Edit31->text().isEmpty()) {
        QTextCursor k(RichEdit1->document());
        RichEdit1->insertLimitedAt(k, Edit31->text());
    }
}

void Ttalk2e::BracketInput(bool shift) {
    const QString speaker = Edit31->text();
    const QString open = shift ? Edit5->text() : Edit78->text();
    const QString close = shift ? Edit7->text() : Edit79->text();
    QTextDocument* doc = RichEdit1->document();
    QTextCursor c(doc);
    c.setPosition(0);
    c.setPosition(qMin<int>(int(speaker.size()), doc->characterCount() - 1), QTextCursor::KeepAnchor);
    c.beginEditBlock();
    if (!speaker.isEmpty() && c.selectedText() == speaker) {
        RichEdit1->insertLimitedAt(c, speaker + open);
    } else {
        c.setPosition(0);
        RichEdit1->insertLimitedAt(c, open);
    }
    QTextCursor last(doc->lastBlock());
    last.movePosition(QTextCursor::EndOfBlock);
    RichEdit1->insertLimitedAt(last, close);
    c.endEditBlock();
}

bool Ttalk2e::CorrectionTemplateFromRecord() {
    if (!CheckBox52->isChecked()) return false;
    QString selected = display_->selectedRecordText();
    selected.remove(QChar::ParagraphSeparator).remove(u'\r').remove(u'\n');
    selected = Cp932::decode(Cp932::leftSafe(Cp932::encode(selected), 253));
    RichEdit1->setLimitedText(Edit94->text() + selected + Edit95->text());
    return true;
}

void Ttalk2e::InsertMemoText(int fkey) {
    if (!Form5) return;
    const QString phrase = Form5->phrase(fkey);
    if (Form5->clearsPane(fkey)) {
        RichEdit1->setLimitedText(phrase);
    } else {
        RichEdit1->insertLimited(phrase);
    }
}

// ---------------------------------------------------------------------------------------------
// The reading of the input method (ruby)

void Ttalk2e::RichEdit1Composition(const QInputMethodEvent* e) {
    if (!rubyOn()) return;
    const QString preedit = e->preeditString();
    if (!preedit.isEmpty()) {
        composing_ = true;
        if (Text::IsKanaOnly(preedit)) lastKanaPreedit_ = preedit;  // still the reading being typed
    }
    if (!e->commitString().isEmpty()) {
        const QString reading = Text::IsKanaOnly(e->commitString()) && lastKanaPreedit_.isEmpty()
                                    ? e->commitString()
                                    : lastKanaPreedit_;
        lastKanaPreedit_.clear();
        if (!reading.isEmpty() && reading != previousReading_) {
            previousReading_ = reading;
            readingText_ = reading;
            wordStart_ = wordEnd_;
            wordEnd_ = RichEdit1->textCursor().selectionStart();
        }
    }
    if (preedit.isEmpty()) composing_ = false;
}

void Ttalk2e::InsertReading() {
    if (readingText_.isEmpty()) return;
    composing_ = false;
    // The reading as the input methods of the other stations deliver it: half-width katakana.
    const QString half = Text::ToHalfWidthKatakana(readingText_);
    QString reading = half;
    if (RadioButton2->isChecked()) reading = Text::ToFullWidth(half);
    else if (RadioButton3->isChecked()) reading = Text::ToHiragana(Text::ToFullWidth(half));
    if (CheckBox58->isChecked()) {
        RichEdit1->insertLimited(Edit22->text() + reading + Edit23->text());
    } else if (CheckBox59->isChecked()) {
        const int caret = RichEdit1->textCursor().position();
        QTextCursor at(RichEdit1->document());
        at.setPosition(qBound(0, wordStart_, RichEdit1->document()->characterCount() - 1));
        const int before = at.position();
        RichEdit1->insertLimitedAt(at, QStringLiteral("`r") + reading + QStringLiteral("`s"));
        const int inserted = at.position() - before;  // less when the pane had no room for all of it
        QTextCursor c = RichEdit1->textCursor();
        c.setPosition(qMin(caret + inserted, RichEdit1->document()->characterCount() - 1));
        RichEdit1->setTextCursor(c);
    }
    readingText_.clear();
    wordStart_ = wordEnd_;
    wordEnd_ = RichEdit1->textCursor().position();
}

void Ttalk2e::RichEdit1KeyUp(QKeyEvent* e) {
    if (rubyOn()) {
        const int k = e->key();
        if (k == Qt::Key_Henkan) composing_ = true;
        else if ((k == Qt::Key_End || k == Qt::Key_Home || k == Qt::Key_Left || k == Qt::Key_Right ||
                  k == Qt::Key_Up || k == Qt::Key_Down) &&
                 !composing_)
            wordEnd_ = RichEdit1->textCursor().position();
    }
    SendLiveTyping(e->key());
}

// ---------------------------------------------------------------------------------------------
// Automatic sends

void Ttalk2e::RichEdit1Change() {
    if (inPaneChange_) return;
    inPaneChange_ = true;
    if ((CheckBox15->isChecked() || CheckBox23->isChecked()) && !Timer3->isActive())
        Timer3->start(intOf(Edit16, 15) * 1000);
    if (rubyOn()) wordEnd_ = RichEdit1->textCursor().position();
    const QString text = RichEdit1->toPlainText();
    const qsizetype bytes = Cp932::encodeCrLf(text).size();
    const int limit = intOf(Edit21, 40);
    if (CheckBox51->isChecked()) SetStripColour(bytes >= limit ? StripColour::Red : StripColour::Normal);
    if (!caption_.refilledByUndo() && CheckBox54->isChecked() && bytes >= limit) {
        RichEdit1->clear();
        SendInputPaneLine(Cp932::encodeCrLf(text));  // the whole pane, whatever the caret option says
    } else if (!caption_.refilledByUndo() && CheckBox61->isChecked()) {
        static const QString kStops[] = {QStringLiteral("。"), QStringLiteral("、"), QStringLiteral("？"),
                                          QStringLiteral("?"), QStringLiteral("."), QStringLiteral(",")};
        for (const QString& stop : kStops)
            if (text.contains(stop)) {
                SendInputPane();
                break;
            }
    }
    inPaneChange_ = false;
}

void Ttalk2e::Timer3Timer() {
    Timer3->stop();
    SetStripColour(StripColour::Red);
    if (!CheckBox23->isChecked()) return;
    QTextEdit* pane = focusedTypingPane();
    if (!pane) {
        SendLine(QByteArray());  // no typing pane has the keyboard: the time is marked with an empty line
        return;
    }
    const QString text = pane->toPlainText();
    station_.clipboard.setText(text);
    pane->clear();
    if (pane == RichEdit1) SendInputPaneLine(Cp932::encodeCrLf(text));
    else SendLine(Cp932::encodeCrLf(text));
}

// Only a pane that really has the keyboard counts: a window keeps its focus widget while another
// window (the F-key memo, say) is the one being typed in.
QTextEdit* Ttalk2e::focusedTypingPane() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return nullptr;
    if (focus == RichEdit1) return RichEdit1;
    if (Form14 && focus == Form14->RichEdit1) return Form14->RichEdit1;
    if (Form14 && focus == Form14->RichEdit2) return Form14->RichEdit2;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Live typing

void Ttalk2e::SendLiveTyping(int key) {
    Core::LiveTyping t;
    t.setPane(RichEdit1->shownText());  // a composition in progress included
    t.erased = isErase(key);
    t.toPartner = team_.hasPartner();
    t.toMonitors = auxiliary_->liveTypingToMonitors();
    t.ownAddress = Edit35->text();
    Core::SendLiveTyping(outbox_, t);
}

void Ttalk2e::NMUDP2DataReceived(const QByteArray& payload, const QString& from, quint16) {
    QByteArray text = payload;
    if (CheckBox57->isChecked()) text.replace("\r\n", Cp932::encode(QStringLiteral("■")));
    switch (Net::Wire::ClassifyPartnerText(text)) {
    case Net::Wire::PartnerText::Empty:
        RichEdit27->clear();
        break;
    case Net::Wire::PartnerText::Erased:
        RichEdit27->setPlainText(Edit66->text());
        Timer4->start(intOf(Edit68, 500));
        break;
    case Net::Wire::PartnerText::Settings:
        SettingsTransferReceived(text, from);
        break;
    case Net::Wire::PartnerText::Text:
        RichEdit27->setPlainText(Cp932::decode(text));
        if (CheckBox55->isChecked()) RichEdit27->moveCursor(QTextCursor::End);
        break;
    }
}

void Ttalk2e::Timer4Timer() {
    Timer4->stop();
    RichEdit27->clear();
}

void Ttalk2e::Edit68Change() {
    if (Edit68->text().isEmpty()) {
        Edit68->setText(QStringLiteral("500"));
        return;
    }
    Timer4->start(intOf(Edit68, 500));
}

// ---------------------------------------------------------------------------------------------
// Options

void Ttalk2e::CheckBox47Click() {
    if (!CheckBox47->isChecked() || !display_->redrawsAfterUndo()) return;
    display_->setRedrawAfterUndo(false);
    if (started_) Message(kDelClsHelp);
}

void Ttalk2e::CheckBox58Click() {
    if (!CheckBox58->isChecked()) return;
    CheckBox59->setChecked(false);
    if (started_) Message(kBracketHelp);
}

void Ttalk2e::CheckBox59Click() {
    if (!CheckBox59->isChecked()) return;
    CheckBox58->setChecked(false);
    if (started_) Message(kRubyHelp);
}

void Ttalk2e::Button3Click() {
    const auto f = station_.dialogs.chooseFont(this, RichEdit1->font());
    if (!f) return;
    SetInputFont(*f);
    SetMonitorFont(*f);
}

void Ttalk2e::SetInputFont(const QFont& font) {
    RichEdit1->setFont(font);
    if (Form14)
        for (QTextEdit* pane : {Form14->RichEdit1, Form14->RichEdit2}) pane->setFont(font);
    display_->LayoutInputStrip();
}

void Ttalk2e::SetMonitorFont(const QFont& font) {
    RichEdit27->setFont(font);
    display_->LayoutInputStrip();
}

void Ttalk2e::Button4Click() {
    const auto c = station_.dialogs.chooseColor(this, inputPaneColour());
    if (!c) return;
    colours_.inputPaper = colours_.monitorPaper = Settings::fromQColor(*c);
    PaintPanes();
}

// The input panes take their colour; the partner's monitor pane a shade of it while the two are
// the same, so the two panes of the strip never read as one box.
void Ttalk2e::PaintPanes() {
    auto paint = [](QTextEdit* pane, const QColor& paper, const QColor& ink) {
        QPalette p = pane->palette();
        p.setColor(QPalette::Base, paper);
        p.setColor(QPalette::Text, ink);
        pane->setPalette(p);
    };
    const QColor input = qcolour(colours_.inputPaper);
    const QColor monitor =
        colours_.monitorPaper == colours_.inputPaper ? MonitorShade(input) : qcolour(colours_.monitorPaper);
    // Over the typing-rate limit the input panes turn yellow; the monitor pane keeps its shade.
    const QColor typing = rateWarning_ ? QColor(Qt::yellow) : input;
    paint(RichEdit1, typing, qcolour(colours_.inputInk));
    paint(RichEdit27, monitor, qcolour(colours_.monitorInk));
    if (Form14)
        for (QTextEdit* pane : {Form14->RichEdit1, Form14->RichEdit2}) paint(pane, typing, qcolour(colours_.inputInk));
}

QColor Ttalk2e::MonitorShade(const QColor& colour) {
    const QColor tint(190, 205, 228);
    auto mix = [](int a, int b) { return (a * 7 + b * 3) / 10; };
    return QColor(mix(colour.red(), tint.red()), mix(colour.green(), tint.green()), mix(colour.blue(), tint.blue()));
}

void Ttalk2e::Button27Click() {
    if (const auto c = station_.dialogs.chooseColor(this, qcolour(colours_.compositionInk))) {
        colours_.compositionInk = Settings::fromQColor(*c);
        PaintComposition();
    }
}

void Ttalk2e::Button34Click() {
    if (const auto c = station_.dialogs.chooseColor(this, qcolour(colours_.compositionPaper))) {
        colours_.compositionPaper = Settings::fromQColor(*c);
        PaintComposition();
    }
}

void Ttalk2e::PaintComposition() {
    RichEdit1->compositionText = qcolour(colours_.compositionInk);
    RichEdit1->compositionBackground = qcolour(colours_.compositionPaper);
    display_->setCompositionColours(qcolour(colours_.compositionInk), qcolour(colours_.compositionPaper));
}

QList<QWidget*> Ttalk2e::stripPanels() const {
    QList<QWidget*> panels{Panel1, Panel22, Panel23};
    if (Form14) panels << Form14->stripPanels();
    return panels;
}

// ---------------------------------------------------------------------------------------------
// The 8-person monitor mirrors the slots' names and pairing buttons, and takes the members' feed.

void Ttalk2e::MirrorSlotName(int k) {
    if (Form2) Form2->SlotNameChanged(k, slot(k).name->text());
}

void Ttalk2e::NMUDP7DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (Form2) Form2->Feed(payload);
}
