#pragma once
// Small helpers that build the option pages: every control gets its designer name as objectName
// so that tests and the settings table find it, and lands in its parent's layout.
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QWidget>
#include <initializer_list>

namespace Form {

// Adds w to the layout of parent (when it has one) and names it.
template <typename W>
W* place(QWidget* parent, W* w, const char* name) {
    if (name) w->setObjectName(QString::fromLatin1(name));
    if (parent && parent->layout()) parent->layout()->addWidget(w);
    return w;
}

inline QGroupBox* group(QWidget* parent, const QString& title, const char* name = nullptr) {
    auto* g = place(parent, new QGroupBox(title, parent), name);
    auto* l = new QVBoxLayout(g);
    l->setContentsMargins(6, 4, 6, 4);
    l->setSpacing(2);
    return g;
}

inline QCheckBox* check(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* c = place(parent, new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    return c;
}

inline QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* r = place(parent, new QRadioButton(caption, parent), name);
    r->setChecked(checked);
    return r;
}

inline QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = place(parent, new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

// A push button that a narrow window may shrink to its caption (the style's hint asks for more).
inline QPushButton* narrowToCaption(QPushButton* b) {
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 16);
    return b;
}

inline QLineEdit* edit(QWidget* parent, const char* name, const QString& text, int width = 0) {
    auto* e = place(parent, new QLineEdit(text, parent), name);
    if (width > 0) e->setFixedWidth(width);
    return e;
}

inline QLabel* label(QWidget* parent, const QString& text, const char* name = nullptr) {
    auto* l = place(parent, new QLabel(text, parent), name);
    l->setWordWrap(true);
    return l;
}

// The integer in an edit field, or `fallback` when it holds none.
inline int intOf(const QLineEdit* e, int fallback = 0) {
    bool ok = false;
    const int v = e->text().trimmed().toInt(&ok);
    return ok ? v : fallback;
}

// A horizontal row inside a group, for a caption and its field.
inline QWidget* row(QWidget* parent) {
    auto* r = new QWidget(parent);
    auto* l = new QHBoxLayout(r);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(4);
    if (parent && parent->layout()) parent->layout()->addWidget(r);
    return r;
}

// An option page: group boxes in columns, scrolled when the window is small.
class Page : public QScrollArea {
public:
    Page(QWidget* parent, int columns) : QScrollArea(parent) {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        auto* inner = new QWidget(this);
        auto* h = new QHBoxLayout(inner);
        h->setContentsMargins(4, 4, 4, 4);
        for (int i = 0; i < columns; ++i) {
            auto* col = new QWidget(inner);
            auto* v = new QVBoxLayout(col);
            v->setContentsMargins(0, 0, 0, 0);
            v->addStretch(1);
            h->addWidget(col, 1);
            columns_.append(col);
        }
        setWidget(inner);
    }
    // A widget of its own at the foot of column c.
    template <typename W>
    W* add(int c, W* w) {
        auto* v = static_cast<QVBoxLayout*>(columns_.at(c)->layout());
        w->setParent(columns_.at(c));
        v->insertWidget(v->count() - 1, w);
        return w;
    }
    // A group box at the foot of column c.
    QGroupBox* group(int c, const QString& title, const char* name = nullptr) {
        QWidget* col = columns_.at(c);
        auto* g = new QGroupBox(title, col);
        if (name) g->setObjectName(QString::fromLatin1(name));
        auto* l = new QVBoxLayout(g);
        l->setContentsMargins(6, 4, 6, 4);
        l->setSpacing(2);
        auto* v = static_cast<QVBoxLayout*>(col->layout());
        v->insertWidget(v->count() - 1, g);
        return g;
    }

private:
    QList<QWidget*> columns_;
};

}  // namespace Form
