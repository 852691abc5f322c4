#pragma once
// One font, one font colour and one background for a group of panes, kept as the numbered
// settings file stores them: the colours as Windows colour values, so a system colour is written
// back as its negative value; the font with its size in points at 96 dpi.
#include "settings/key_table.h"
#include "settings/values.h"

#include <QFont>
#include <QList>
#include <QPointer>
#include <QStringView>
#include <QWidget>

class PaneLook {
public:
    explicit PaneLook(QList<QWidget*> panes = {});
    void addPane(QWidget* pane);

    QFont font() const { return font_; }
    void setFont(const QFont& font);
    qint32 textColour() const { return text_; }
    void setTextColour(qint32 value);
    qint32 background() const { return background_; }
    void setBackground(qint32 value);

    // The gothic face at `points`, no styles, window-text colour on the window background.
    void reset(int points);

    // Binders of the font name, font colour, font size and background keys (0: no such key).
    void bind(Settings::KeyTable& table, int nameKey, QStringView name, int colourKey, QStringView colour,
              int sizeKey, QStringView size);
    void bindBackground(Settings::KeyTable& table, int key, QStringView text);
    void bindStyles(Settings::KeyTable& table, int boldKey, QStringView bold, int italicKey, QStringView italic,
                    int underlineKey, QStringView underline);

private:
    void paint();

    QList<QPointer<QWidget>> panes_;
    QFont font_;
    qint32 text_ = Settings::Colour::kWindowText;
    qint32 background_ = Settings::Colour::kWindow;
};
