#include "audience/online_panel.h"

#include "audience/online_captions.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace Audience {
namespace {

QString clockOf(const QDateTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

QString shortened(QString text, int length) {
    text.replace(u'\n', u'／');
    return text.size() > length ? text.left(length - 1) + u'…' : text;
}

}  // namespace

OnlinePanel::OnlinePanel(OnlineCaptions& captions, QWidget* parent)
    : QGroupBox(QStringLiteral("オンライン字幕"), parent), captions_(captions) {
    setObjectName(QStringLiteral("GroupOnline"));
    kindBox = new QComboBox(this);
    kindBox->setObjectName(QStringLiteral("ComboOnlineKind"));
    kindBox->addItem(QStringLiteral("使わない"), QStringLiteral("off"));
    kindBox->addItem(QStringLiteral("Zoom（会議の字幕）"), QStringLiteral("zoom"));
    kindBox->addItem(QStringLiteral("YouTube Live（配信の字幕）"), QStringLiteral("youtube"));
    urlEdit = new QLineEdit(this);
    urlEdit->setObjectName(QStringLiteral("EditOnlineUrl"));
    urlEdit->setPlaceholderText(QStringLiteral("https://…（字幕の送信先URLを貼り付け）"));
    urlEdit->setClearButtonEnabled(true);
    languageEdit = new QLineEdit(QString::fromLatin1(OnlineCaptions::kDefaultLanguage), this);
    languageEdit->setObjectName(QStringLiteral("EditOnlineLanguage"));
    languageEdit->setMaximumWidth(80);
    auto* warning = new QLabel(
        QStringLiteral("※ 送った字幕は取り消せません。Undo や削除、画面消去をしても、"
                       "配信先に出た字幕はそのまま残ります。"),
        this);
    warning->setObjectName(QStringLiteral("LabelOnlineWarning"));
    warning->setWordWrap(true);
    sentLabel_ = new QLabel(this);
    sentLabel_->setObjectName(QStringLiteral("LabelOnlineSent"));
    sentLabel_->setWordWrap(true);
    waitingLabel_ = new QLabel(this);
    waitingLabel_->setObjectName(QStringLiteral("LabelOnlineWaiting"));
    waitingLabel_->setWordWrap(true);
    errorLabel_ = new QLabel(this);
    errorLabel_->setObjectName(QStringLiteral("LabelOnlineError"));
    errorLabel_->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("送信先"), this), 0, 0);
    grid->addWidget(kindBox, 0, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("URL"), this), 1, 0);
    grid->addWidget(urlEdit, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("言語（Zoom）"), this), 2, 0);
    grid->addWidget(languageEdit, 2, 1, Qt::AlignLeft);
    grid->addWidget(warning, 3, 0, 1, 2);
    grid->addWidget(sentLabel_, 4, 0, 1, 2);
    grid->addWidget(waitingLabel_, 5, 0, 1, 2);
    grid->addWidget(errorLabel_, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(kindBox, &QComboBox::currentIndexChanged, this, [this] {
        captions_.setKind(OnlineCaptions::kindOf(kindWord()));
        refresh();
    });
    connect(urlEdit, &QLineEdit::editingFinished, this, &OnlinePanel::urlEdited);
    // A value set from outside (the settings file) applies at once; typing applies when done.
    connect(urlEdit, &QLineEdit::textChanged, this, [this] {
        if (!urlEdit->hasFocus()) urlEdited();
    });
    connect(languageEdit, &QLineEdit::textChanged, this, [this](const QString& text) { captions_.setLanguage(text); });
    connect(&captions, &OnlineCaptions::statusChanged, this, &OnlinePanel::refresh);
    tick_.setInterval(1000);
    connect(&tick_, &QTimer::timeout, this, &OnlinePanel::refresh);
    refresh();
}

QString OnlinePanel::kindWord() const { return kindBox->currentData().toString(); }

void OnlinePanel::setKindWord(const QString& word) {
    const int i = kindBox->findData(OnlineCaptions::wordOf(OnlineCaptions::kindOf(word)));
    kindBox->setCurrentIndex(qMax(0, i));
}

void OnlinePanel::urlEdited() {
    captions_.setUrl(urlEdit->text());
    refresh();
}

void OnlinePanel::refresh() {
    const OnlineCaptions::Status& s = captions_.status();
    const bool off = captions_.kind() == OnlineCaptions::Kind::Off;
    QString sent = QStringLiteral("送信済み：%1件").arg(s.sent);
    if (!s.lastSent.isEmpty())
        sent += QStringLiteral("（最後 %1「%2」）").arg(clockOf(s.lastSentAt), shortened(s.lastSent, 24));
    sentLabel_->setText(sent);

    QString waiting = QStringLiteral("送信待ち：%1件").arg(s.waiting);
    if (s.dropped > 0) waiting += QStringLiteral("、あふれて捨てた字幕：%1件").arg(s.dropped);
    const int retryIn = captions_.retryInMs();
    if (captions_.isBusy()) waiting += QStringLiteral("（送信中）");
    else if (retryIn >= 0) waiting += QStringLiteral("（%1秒後に再送）").arg((retryIn + 999) / 1000);
    waitingLabel_->setText(waiting);
    if ((retryIn >= 0) != tick_.isActive()) retryIn >= 0 ? tick_.start() : tick_.stop();

    if (off) errorLabel_->setText(QStringLiteral("オンライン字幕は送っていません。"));
    else if (!captions_.hasNetwork()) errorLabel_->setText(QStringLiteral("このステーションからは送信できません。"));
    else if (!captions_.isActive())
        errorLabel_->setText(QStringLiteral("送信先URL（http:// か https:// で始まるもの）を入れてください。"));
    else if (s.lastError.isEmpty()) errorLabel_->setText(QStringLiteral("エラー：なし"));
    else errorLabel_->setText(QStringLiteral("最後のエラー（%1）：%2").arg(clockOf(s.lastErrorAt), s.lastError));
}

}  // namespace Audience
