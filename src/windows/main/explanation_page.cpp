#include "windows/main/explanation_page.h"

#include "ui/form_builder.h"

#include <QTextEdit>

ExplanationPage::ExplanationPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet9"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    RichEdit3 = new QTextEdit(this);
    RichEdit3->setObjectName(QStringLiteral("RichEdit3"));
    RichEdit3->setAcceptRichText(false);
    RichEdit3->document()->setMaximumBlockCount(kLines);  // the oldest lines go
    v->addWidget(RichEdit3, 1);
    QWidget* row = Form::row(this);
    v->addWidget(row);
    Button11 = Form::button(row, "Button11", QStringLiteral("保存"));
    static_cast<QHBoxLayout*>(row->layout())->addStretch(1);
    connect(Button11, &QPushButton::clicked, this, &ExplanationPage::saveClicked);
}

void ExplanationPage::append(const QString& line) { RichEdit3->append(line); }

QString ExplanationPage::text() const { return RichEdit3->toPlainText(); }

void ExplanationPage::clear() { RichEdit3->clear(); }
