#include "ui/message_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QWindow>

namespace App {

namespace {
constexpr int kFrameAllowance = 16;  // a window manager's border on both sides
}

TextFit fitText(const QString& text, const QFontMetrics& metrics, int limit) {
    TextFit fit;
    for (const QString& line : text.split(u'\n')) fit.width = qMax(fit.width, metrics.horizontalAdvance(line));
    fit.width += 1;  // QLabel lays out with the text's bounding advance rounded up
    if (limit > 0 && fit.width > limit) {
        fit.width = limit;
        fit.wrap = true;
    }
    return fit;
}

// A title and a close button only: the box has the size of its text, there is nothing to
// minimise or maximise.
MessageBox::MessageBox(Kind kind, const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent, Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(title);
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    auto* icon = new QLabel(this);
    const QStyle::StandardPixmap which = kind == Kind::Question   ? QStyle::SP_MessageBoxQuestion
                                         : kind == Kind::Critical ? QStyle::SP_MessageBoxCritical
                                                                  : QStyle::SP_MessageBoxInformation;
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(which, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(icon, 0, 0);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("MessageText"));
    label_->setTextFormat(Qt::PlainText);
    label_->setText(text);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(label_, 0, 1);
    auto* buttons = new QDialogButtonBox(this);
    if (kind == Kind::Question) {
        ok_ = buttons->addButton(QStringLiteral("はい"), QDialogButtonBox::YesRole);
        no_ = buttons->addButton(QStringLiteral("いいえ"), QDialogButtonBox::NoRole);
        connect(no_, &QPushButton::clicked, this, &QDialog::reject);
    } else {
        ok_ = buttons->addButton(QDialogButtonBox::Ok);
    }
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    ok_->setDefault(true);
    grid->addWidget(buttons, 1, 0, 1, 2);
    fitToText();
}

QString MessageBox::text() const { return label_->text(); }

void MessageBox::placeAboveTheWindowInUse() {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QWidget* active = QApplication::activeWindow();
    over_ = active != this ? active : nullptr;
}

int MessageBox::textLimit() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int available = s ? s->availableGeometry().width() : 1024;
    const QMargins m = layout()->contentsMargins();
    const auto* grid = static_cast<const QGridLayout*>(layout());
    const int beside = grid->itemAtPosition(0, 0)->sizeHint().width() + qMax(6, grid->horizontalSpacing());
    return available - m.left() - m.right() - beside - kFrameAllowance;
}

// The label takes the text's width; the layout's fixed size follows it.
void MessageBox::fitToText() {
    const TextFit fit = fitText(label_->text(), label_->fontMetrics(), textLimit());
    label_->setWordWrap(fit.wrap);
    label_->setFixedWidth(fit.width);
}

void MessageBox::showEvent(QShowEvent* event) {
    fitToText();  // the screen it opens on may differ from the one it was made on
    QDialog::showEvent(event);
    // Showing a window without a parent clears its transient parent: set it now, and place the box
    // over that window rather than in the screen's middle.
    if (event->spontaneous() || !over_ || !over_->windowHandle() || !windowHandle()) return;
    windowHandle()->setTransientParent(over_->windowHandle());
    adjustPosition(over_);
}

}  // namespace App
