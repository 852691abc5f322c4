#pragma once
// An up-down counter tied to an edit field, as the option pages pair them: the arrows step the
// field's number within [min, max] by the increment (one unless set: the notice window's scroll
// interval moves by 5, its geometry fields by its increment field); a typed number moves the
// arrows' position.
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QWidget* parent, const char* name, QLineEdit* associate, int min, int max, int increment = 1)
        : QWidget(parent), edit_(associate), min_(min), max_(max), increment_(increment) {
        setObjectName(QString::fromLatin1(name));
        auto* v = new QVBoxLayout(this);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        auto* up = new QToolButton(this);
        auto* down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setFixedSize(16, 11);
            b->setFocusPolicy(Qt::NoFocus);
            v->addWidget(b);
        }
        connect(up, &QToolButton::clicked, this, [this] { step(+1); });
        connect(down, &QToolButton::clicked, this, [this] { step(-1); });
        connect(edit_, &QLineEdit::textChanged, this, [this](const QString& t) {
            bool ok = false;
            const int v = t.toInt(&ok);
            if (ok) position_ = qBound(min_, v, max_);
        });
        position_ = qBound(min_, edit_->text().toInt(), max_);
    }
    int position() const { return position_; }
    int increment() const { return increment_; }
    void setIncrement(int increment) { increment_ = increment; }
    // One click of an arrow: `direction` is +1 or −1.
    void step(int direction) {
        position_ = qBound(min_, position_ + direction * increment_, max_);
        edit_->setText(QString::number(position_));
        emit clicked();
    }

signals:
    void clicked();

private:
    QLineEdit* edit_;
    int min_, max_;
    int increment_;
    int position_ = 0;
};
