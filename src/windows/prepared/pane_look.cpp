#include "windows/prepared/pane_look.h"

#include "ui/fonts.h"
#include "ui/settings_binders.h"

#include <QApplication>
#include <QPalette>

PaneLook::PaneLook(QList<QWidget*> panes) {
    for (QWidget* p : panes) panes_ << p;
    reset(9);
}

void PaneLook::addPane(QWidget* pane) {
    panes_ << pane;
    paint();
}

void PaneLook::setFont(const QFont& font) {
    font_ = font;
    paint();
}

void PaneLook::setTextColour(qint32 value) {
    text_ = value;
    paint();
}

void PaneLook::setBackground(qint32 value) {
    background_ = value;
    paint();
}

void PaneLook::reset(int points) {
    font_ = QFont(Fonts::gothic());
    Fonts::setPoints(font_, points);
    text_ = Settings::Colour::kWindowText;
    background_ = Settings::Colour::kWindow;
    paint();
}

void PaneLook::paint() {
    const QPalette system = QApplication::palette();
    for (QWidget* w : panes_) {
        if (!w) continue;
        w->setFont(font_);
        QPalette p = w->palette();
        p.setColor(QPalette::Text, Settings::toQColor(text_, system));
        p.setColor(QPalette::Base, Settings::toQColor(background_, system));
        w->setPalette(p);
    }
}

void PaneLook::bind(Settings::KeyTable& t, int nameKey, QStringView name, int colourKey, QStringView colour,
                    int sizeKey, QStringView size) {
    auto get = [this] { return font_; };
    auto set = [this](const QFont& f) { setFont(f); };
    if (nameKey) Bind::fontName(t, nameKey, name, get, set);
    if (colourKey) Bind::colour(t, colourKey, colour, [this] { return text_; }, [this](qint32 v) { setTextColour(v); });
    if (sizeKey) Bind::fontSize(t, sizeKey, size, get, set);
}

void PaneLook::bindBackground(Settings::KeyTable& t, int key, QStringView text) {
    Bind::colour(t, key, text, [this] { return background_; }, [this](qint32 v) { setBackground(v); });
}

void PaneLook::bindStyles(Settings::KeyTable& t, int boldKey, QStringView bold, int italicKey, QStringView italic,
                          int underlineKey, QStringView underline) {
    using Settings::FontStyle;
    auto get = [this] { return font_; };
    auto set = [this](const QFont& f) { setFont(f); };
    Bind::fontStyle(t, boldKey, FontStyle::Bold, bold, {}, get, set);
    Bind::fontStyle(t, italicKey, FontStyle::Italic, italic, {}, get, set);
    Bind::fontStyle(t, underlineKey, FontStyle::Underline, underline, {}, get, set);
}
