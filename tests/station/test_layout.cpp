// Every window and every page shows its labels, buttons and check boxes whole, at the size the
// window opens with and on a 1920×1080 screen: nothing cut short, nothing behind a scroll bar.
#include "support/test_station.h"

#include "ui/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

using Testing::TestStation;

namespace {

// Buttons that belong to a composite control (tab scrollers, spin arrows) are its own business.
bool partOfComposite(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QTabBar*>(p) || qobject_cast<const QComboBox*>(p) || qobject_cast<const QScrollBar*>(p))
            return true;
    return false;
}

QString nameOf(const QWidget* w) {
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    else if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    text.replace(u'\n', u' ');
    return QStringLiteral("%1 \"%2\"").arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                                     : w->objectName(),
                                          text.left(24));
}

// The part of `w` that its parents let be seen, in w's own coordinates.
QRect seenPart(const QWidget* w, const QWidget* window) {
    QRect seen = w->rect();
    QPoint offset;  // w's origin in the coordinates of the widget looked at
    for (const QWidget* c = w; c != window; c = c->parentWidget()) {
        offset += c->pos();
        const QWidget* parent = c->parentWidget();
        if (!parent) break;
        seen &= parent->rect().translated(-offset);  // a scroll area's viewport clips like any parent
    }
    return seen;
}

// The controls of `window` now shown that are cut or not wholly in view.
QStringList cutControls(QWidget* window) {
    QStringList out;
    const QString where = window->objectName() + QStringLiteral(" %1×%2: ").arg(window->width()).arg(window->height());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (!label && !button) continue;
        if (!w->isVisibleTo(window) || partOfComposite(w)) continue;
        if ((label && label->text().trimmed().isEmpty() && label->pixmap().isNull()) ||
            (button && button->text().trimmed().isEmpty() && button->icon().isNull()))
            continue;
        // A push button's hint asks for more than its text (a minimum width); its text must fit.
        QSize need = w->sizeHint();
        if (qobject_cast<QPushButton*>(w)) {
            const QFontMetrics fm = w->fontMetrics();
            need = QSize(fm.horizontalAdvance(button->text()) + 6, fm.ascent() + fm.descent());
        } else if (label && label->wordWrap()) {
            need = QSize(0, label->heightForWidth(w->width()));
        }
        if (w->width() < need.width() || w->height() < need.height()) {
            out << where + nameOf(w) + QStringLiteral(" cut: %1×%2 of %3×%4").arg(w->width()).arg(w->height()).arg(need.width()).arg(need.height());
            continue;
        }
        if (seenPart(w, window) != w->rect()) out << where + nameOf(w) + QStringLiteral(" not wholly in view");
    }
    return out;
}

void settle(QWidget* window) {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        if (window->layout()) window->layout()->activate();
    }
}

// Every page of every tab widget of `window` in turn, the controls of each looked at.
// A tab widget inside another's page is looked at with that page shown.
template <typename Look>
QStringList walkPages(QWidget* window, Look look) {
    QStringList out;
    out << look(window);
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        QList<QPair<QTabWidget*, int>> shown;  // the outer tab widgets and the page each showed
        for (QWidget* w = tabs; w && w != window; w = w->parentWidget()) {
            auto* outer = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
            if (!outer || outer->indexOf(w) < 0) continue;
            shown.append({outer, outer->currentIndex()});
            outer->setCurrentWidget(w);
        }
        const int before = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            settle(window);
            out << look(window);
        }
        tabs->setCurrentIndex(before);
        for (const auto& [outer, index] : shown) outer->setCurrentIndex(index);
        settle(window);
    }
    out.removeDuplicates();
    return out;
}

QStringList walkPages(QWidget* window) { return walkPages(window, cutControls); }

int textWidth(const QLabel* label) {
    return qMin(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
}

// The field a caption names, and how much wider than it the widest caption of its column is: a
// column of captions lines its fields up after the widest.
struct Beside {
    QWidget* field = nullptr;
    int slack = 0;
};

Beside fieldBeside(QLabel* label, QWidget* window) {
    QLayout* layout = label->parentWidget() ? label->parentWidget()->layout() : nullptr;
    Beside b;
    auto widest = [&](QLayoutItem* item) {
        if (auto* peer = qobject_cast<QLabel*>(item ? item->widget() : nullptr); peer && peer->isVisibleTo(window))
            b.slack = qMax(b.slack, textWidth(peer) - textWidth(label));
    };
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int r = 0, c = 0, rs = 0, cs = 0;
        grid->getItemPosition(grid->indexOf(label), &r, &c, &rs, &cs);
        if (QLayoutItem* item = grid->itemAtPosition(r, c + cs)) b.field = item->widget();
        for (int i = 0; i < grid->rowCount(); ++i) widest(grid->itemAtPosition(i, c));
    } else if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        int r = 0;
        QFormLayout::ItemRole role{};
        form->getWidgetPosition(label, &r, &role);
        if (role == QFormLayout::LabelRole)
            if (QLayoutItem* item = form->itemAt(r, QFormLayout::FieldRole)) b.field = item->widget();
        for (int i = 0; i < form->rowCount(); ++i) widest(form->itemAt(i, QFormLayout::LabelRole));
    }
    if (!qobject_cast<QLineEdit*>(b.field) && !qobject_cast<QComboBox*>(b.field)) b.field = nullptr;
    return b;
}

// The captions of `window` now shown that sit far from the field they name: a row that stretches
// must not push its field away from its label.
bool isField(const QWidget* w) { return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w); }

// The name of the tab page that holds `w` (the innermost), or nothing.
QString pageOf(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        const QWidget* stack = w->parentWidget();
        if (auto* tabs = qobject_cast<const QTabWidget*>(stack ? stack->parentWidget() : nullptr); tabs && tabs->indexOf(const_cast<QWidget*>(w)) >= 0)
            return w->objectName() + QStringLiteral(" ");
    }
    return {};
}

// Where the drawn part of `w` starts and ends in its parent: a caption's text, a check box's box and
// caption, a field's or button's whole frame.
QPair<int, int> drawnPart(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->alignment() & Qt::AlignRight) return {label->geometry().right() - textWidth(label), label->geometry().right()};
        const int start = label->x() + label->contentsRect().left();
        return {start, start + textWidth(label)};
    }
    if (isField(w) || qobject_cast<const QPushButton*>(w)) return {w->x(), w->x() + w->width()};
    return {w->x(), w->x() + qMin(w->width(), w->sizeHint().width())};
}

// The rows of `window` now shown whose captions, units and fields drift apart: a row that stretches
// must not push its field away from its caption, nor its unit away from its field.
QStringList farFromTheirFields(QWidget* window) {
    QStringList out;
    const QString where = window->objectName() + QStringLiteral(" %1×%2: ").arg(window->width()).arg(window->height());
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().trimmed().isEmpty()) continue;
        const Beside b = fieldBeside(label, window);
        if (!b.field) continue;
        const int gap = b.field->x() - drawnPart(label).second - b.slack;
        if (gap > 24) out << where + pageOf(label) + nameOf(label) + QStringLiteral(" %1 px from %2").arg(gap).arg(b.field->objectName());
    }
    for (QWidget* parent : window->findChildren<QWidget*>()) {
        auto* row = qobject_cast<QBoxLayout*>(parent->layout());
        if (!parent->isVisibleTo(window) || !row || row->direction() != QBoxLayout::LeftToRight) continue;
        QList<QWidget*> shown;
        for (int i = 0; i < row->count(); ++i)
            if (QWidget* w = row->itemAt(i)->widget(); w && w->isVisibleTo(window)) shown << w;
        if (std::none_of(shown.begin(), shown.end(), isField)) continue;
        for (int i = 1; i < shown.size(); ++i) {
            const int gap = drawnPart(shown[i]).first - drawnPart(shown[i - 1]).second;
            if (gap > 24) out << where + pageOf(parent) + nameOf(shown[i - 1]) + QStringLiteral(" %1 px from %2").arg(gap).arg(nameOf(shown[i]));
        }
    }
    return out;
}

// QTest shortens a long failure message: every finding on a line of its own first.
void report(const QStringList& cut) {
    for (const QString& line : cut) qWarning().noquote() << line;
    QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("%1 controls cut or out of view").arg(cut.size())));
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void everyControlIsWholeAtTheDefaultSize();
    void mainWindowPagesAtTheDefaultSize();
    void partnerPageIsWholeAtTheDefaultSize();
    void everyControlIsWholeOnAFullHdScreen();
    void labelsStayBesideTheirFieldsOnAFullHdScreen();
    void noticePagesAreWholeAfterTheTicker();
    void helpBoxesBreakOnlyAtTheirOwnLineBreaks();
};

// Every window at the size it opens with, `all` or all but the main window.
static QStringList cutAtDefaultSizes(TestStation& s, bool mainWindow) {
    QStringList cut;
    for (QWidget* w : s.main->windows().all()) {
        if ((w == s.main.get()) != mainWindow) continue;
        const QSize opened = w->size();
        w->show();
        settle(w);
        if (w->width() > opened.width() || w->height() > opened.height())
            cut << w->objectName() + QStringLiteral(" opens at %1×%2 but needs %3×%4").arg(opened.width()).arg(opened.height()).arg(w->width()).arg(w->height());
        cut << walkPages(w);
        w->hide();
    }
    return cut;
}

void LayoutTest::everyControlIsWholeAtTheDefaultSize() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    report(cutAtDefaultSizes(s, false));
}

// The main window at the size it opens with, 640×480: every option page whole without scrolling.
void LayoutTest::mainWindowPagesAtTheDefaultSize() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    report(cutAtDefaultSizes(s, true));
}

// The page "ﾊﾟｰﾄﾅｰ" fits the main window as it opens, without a scroll bar.
void LayoutTest::partnerPageIsWholeAtTheDefaultSize() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    const QSize opened = s.main->size();
    s.main->show();
    auto* tabs = s.main->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    QVERIFY(tabs);
    tabs->setCurrentIndex(2);
    QCOMPARE(tabs->tabText(2), QStringLiteral("ﾊﾟｰﾄﾅｰ"));
    settle(s.main.get());
    QCOMPARE(s.main->size(), opened);
    auto* page = qobject_cast<QScrollArea*>(tabs->currentWidget());
    QVERIFY(page);
    QVERIFY2(!page->verticalScrollBar()->isVisible() && !page->horizontalScrollBar()->isVisible(),
             qPrintable(QStringLiteral("needs %1×%2 of %3×%4")
                            .arg(page->widget()->minimumSizeHint().width()).arg(page->widget()->minimumSizeHint().height())
                            .arg(page->viewport()->width()).arg(page->viewport()->height())));
    report(cutControls(s.main.get()));
}

void LayoutTest::everyControlIsWholeOnAFullHdScreen() {
    QCOMPARE(QApplication::primaryScreen()->size(), QSize(1920, 1080));
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    QStringList cut;
    for (QWidget* w : s.main->windows().all()) {
        w->show();
        w->setGeometry(QApplication::primaryScreen()->availableGeometry());
        settle(w);
        cut << walkPages(w);
        w->hide();
    }
    report(cut);
}

// Maximised on a full-HD screen every caption stays beside its field and every unit after it, on
// every page of every window.
void LayoutTest::labelsStayBesideTheirFieldsOnAFullHdScreen() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    QStringList far;
    for (QWidget* w : s.main->windows().all()) {
        w->show();
        w->setGeometry(QApplication::primaryScreen()->availableGeometry());
        settle(w);
        far << walkPages(w, farFromTheirFields);
        w->hide();
    }
    far.removeDuplicates();
    report(far);
}

// The notice window hides its pages while the ticker runs; F1 and the end of the notice bring them
// back, and then they are whole again, not squeezed into the strip's height.
void LayoutTest::noticePagesAreWholeAfterTheTicker() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    TForm15& w = *s.main->noticeWindow();
    w.show();
    Testing::control<QLineEdit>(w, "Edit1")->setText(QStringLiteral("お知らせです"));
    w.ShowNotice();
    QVERIFY(!w.pagesVisible());
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(Testing::control<QLineEdit>(w, "Edit77"), &f1);
    QVERIFY(w.pagesVisible());
    settle(&w);
    QStringList cut = walkPages(&w);
    w.ShowNotice();
    for (int i = 0; i < 100000 && Testing::control<QTimer>(w, "Timer1")->isActive(); ++i) w.Timer1Timer();
    QVERIFY(!Testing::control<QTimer>(w, "Timer1")->isActive());
    QVERIFY(w.pagesVisible());
    w.show();  // the end hid it; the next Ctrl+O or notice shows it as the end left it
    settle(&w);
    cut << walkPages(&w);
    report(cut);
}

// The help boxes of remote search, "７ｗに表示" and scrambling as the desktop shows them: every
// line of the text whole on a line of its own. A text wider than the screen wraps at the screen.
void LayoutTest::helpBoxesBreakOnlyAtTheirOwnLineBreaks() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    Testing::control<QCheckBox>(*s.main, "CheckBox19")->setChecked(true);  // "メッセージを表示する"
    QStringList texts;
    for (const char* name : {"CheckBox71", "CheckBox60", "CheckBox42"}) {
        auto* option = Testing::control<QCheckBox>(*s.main, name);
        const qsizetype before = s.messages.shown.size();
        option->click();
        QVERIFY2(s.messages.shown.size() > before, qPrintable(option->objectName()));
        texts << s.messages.shown.last();
    }
    const int screen = QApplication::primaryScreen()->availableGeometry().width();
    for (const QString& text : texts) {
        App::MessageBox box(App::MessageBox::Kind::Information, QStringLiteral("Quelta"), text);
        box.show();
        settle(&box);
        const QLabel* label = box.textLabel();
        QVERIFY2(!label->wordWrap(), qPrintable(text.left(20)));  // lines break where the text breaks them
        for (const QString& line : text.split(u'\n'))
            QVERIFY2(label->fontMetrics().horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
        QCOMPARE(label->height(), label->sizeHint().height());  // every line in view
        QVERIFY(box.frameGeometry().width() <= screen);
    }
    // One line longer than the screen is wide: wrapped at the screen's width, the box on the screen.
    App::MessageBox wide(App::MessageBox::Kind::Question, QStringLiteral("Quelta"), QString(300, QChar(0x3042)));
    wide.show();
    settle(&wide);
    QVERIFY(wide.textLabel()->wordWrap());
    QVERIFY(wide.width() <= screen);
    QVERIFY(wide.textLabel()->height() >= 2 * wide.textLabel()->fontMetrics().lineSpacing());
    QCOMPARE(wide.okButton()->text(), QStringLiteral("はい"));
    QCOMPARE(wide.noButton()->text(), QStringLiteral("いいえ"));
}

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
