#include "prepared/subinput_window.h"

#include "app/form_builder.h"
#include "net/datagram_endpoint.h"

#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

TForm14::TForm14(const App::WindowContext& context)
    : AuxWindow(context, "TForm14", QStringLiteral("サブ入力ウィンド(ctrl+i)"), QString()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1);
    auto* input = new QWidget(PageControl1);
    auto* v = new QVBoxLayout(input);
    v->setContentsMargins(0, 0, 0, 0);
    RichEdit1 = new QTextEdit(input);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit2 = new QTextEdit(input);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    for (QTextEdit* pane : {RichEdit1, RichEdit2}) {
        pane->setAcceptRichText(false);
        pane->setFixedHeight(48);
        v->addWidget(pane);
    }
    v->addStretch(1);
    PageControl1->addTab(input, QStringLiteral("入力"));
    PageControl1->addTab(new QWidget(PageControl1), QStringLiteral("メモ"));
    auto* ruby = new QWidget(PageControl1);
    new QVBoxLayout(ruby);
    QWidget* width = Form::row(ruby);
    CheckBox45 = Form::check(width, "CheckBox45", QStringLiteral("桁数（半角での文字数）"), false);
    Edit20 = Form::edit(width, "Edit20", QStringLiteral("20"), 50);
    ruby->layout()->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    PageControl1->addTab(ruby, QStringLiteral("ルビ送信"));
    NMUDP1 = makeEndpoint(Net::Ports::SubInput);
    connect(NMUDP1, &Net::DatagramEndpoint::received, this, &TForm14::NMUDP1DataReceived);
}

std::optional<int> TForm14::fixedWidth() const {
    if (!CheckBox45->isChecked()) return std::nullopt;
    return Form::intOf(Edit20, 20);
}

int TForm14::firstPaneHeight() const { return RichEdit1->height(); }

void TForm14::openFirstPage() { PageControl1->setCurrentIndex(0); }

void TForm14::NMUDP1DataReceived(const QByteArray&, const QString&, quint16) {}
