#pragma once
// TForm5: the F-key memo, prepared phrases for the function keys of the input pane, and what the
// other function keys do.
#include "ui/aux_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class TForm5 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm5(const App::WindowContext& context);
    // Wide enough for the longest fixed text beside its key.
    static constexpr QSize kDefaultSize{232, 333};

    // The phrase of F1 … F8 or F11, and whether it replaces the whole input pane.
    QString phrase(int fkey) const;
    bool clearsPane(int fkey) const;
    // Keys that options of the main window take for themselves.
    struct TakenKeys {
        bool f1 = false;   // ruby insertion
        bool f7 = false;   // correction template
        bool f8 = false;   // brackets
        bool f11 = false;  // delete / clear screen
    };
    // Rows whose key an option has taken show what the key does instead.
    void UpdateRows(TakenKeys taken);
    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TForm5> settingRows();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Steps of the reset between the rows' values.
    void resetFrame();
    QLineEdit *Edit45 = nullptr, *Edit56 = nullptr, *Edit57 = nullptr, *Edit58 = nullptr, *Edit59 = nullptr;
    QLineEdit *Edit60 = nullptr, *Edit61 = nullptr, *Edit62 = nullptr, *Edit65 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr;
    QCheckBox *CheckBox5 = nullptr, *CheckBox6 = nullptr, *CheckBox7 = nullptr, *CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QLabel *LabelF1 = nullptr, *LabelF7 = nullptr, *LabelF8 = nullptr, *LabelF11 = nullptr;

    QLineEdit* field(int fkey) const;
    QCheckBox* clears(int fkey) const;
};
