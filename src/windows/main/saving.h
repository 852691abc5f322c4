#pragma once
// Saving of the main window: the display saved by hand, periodically (with the clear that keeps
// the record small) and at exit, scrambled saves and reading them back, the limit fields and log
// switches of the page "保存", and the one-minute typing-rate figures.
#include "core/typing_rate.h"
#include "ui/qt_fwd.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

class QWidget;
class Ttalk2e;
namespace Form { class Page; }

// One text of the save at exit: what it is ("表示文", "連絡文"), its file name, its lines.
struct ExitText {
    QString what;
    QString name;
    QList<QByteArray> lines;
};

class Saving {
public:
    explicit Saving(Ttalk2e& main);

    // The groups "表示文" and "定期的な消去と自動保存" of the page "保存".
    void buildSaveGroups(Form::Page* page);
    // "保存" below the explanation page.
    void wire();
    // The controls the main window's setting rows bind, until those rows come here.
    struct SettingControls {
        QLineEdit* Edit91;
        QLineEdit* Edit92;
        QCheckBox* CheckBox39;
    };
    SettingControls settingControls() const { return {Edit91, Edit92, CheckBox39}; }

    // ---- saving the display, the periodic clear, the explanation page ----
    void Button7Click();    // the display to a chosen file
    void Button11Click();   // the explanation page to a chosen file
    void ButtonUnscrambleClick();
    void Edit92Change();
    void Edit91Change();
    void Edit4Change();
    void CheckBox32Click();
    void CheckBox20Click();
    // The record's lines as code page 932, as a save writes them.
    QList<QByteArray> RecordLines() const;
    // The record, filler left out, scrambled with the password of the save page.
    QList<QByteArray> ScrambleDisplay(const QList<QByteArray>& lines);
    // The leading filler taken off the record; the lines removed, as (index, text) from the first.
    QList<std::pair<int, QString>> RemoveLeadingFiller();
    // A scrambled save that failed: the filler back where it was.
    void PutBackLeadingFiller(const QList<std::pair<int, QString>>& removed);
    // After a scrambled save: 20 empty lines at the top when fewer than 20 lines remain.
    void RestoreLeadingFiller();
    // The periodic clear: the record's head made "継続保存" and 20 empty lines, the last 10 kept.
    void TrimRecord();
    void PeriodicClear();
    // Writes a saved text; false, after saying why (and `kept`, what stays as it was), when it cannot.
    bool WriteText(const QString& path, const QList<QByteArray>& lines, const QString& kept = {});
    // A periodic clear with the automatic save off: a line on the page "説明" says what went.
    void LogClearWithoutSave();
    // Start-up: a warning when the start-up settings switched the periodic clear off.
    void WarnIfPeriodicClearOff();
    static const QString kPeriodicClearOffWarning;
    static inline const QString kExitSaveLine = QStringLiteral("---Ｑｕｅｌｔａ終了時自動保存---");
    static constexpr int kKeptAfterClear = 10;

    // ---- typing rate ----
    void CheckBox44Click();
    void CheckBox45Click();
    void CheckBox62Click();
    void Timer7Timer();
    const Core::TypingRate& typingRate() const { return typingRate_; }
    bool rateWarning() const { return rateWarning_; }

    // ---- the save at exit ----
    static inline const QString kDisplayText = QStringLiteral("表示文");
    static inline const QString kContactText = QStringLiteral("連絡文");
    bool SaveOnExit();
    QList<ExitText> ExitTexts();
    // Writes one exit text to the program folder, or elsewhere (another folder the user chooses;
    // the rescue folder when no one answers); false when the user chose to stay instead.
    bool SaveExitText(const ExitText& text);
    bool OfferAnotherPlace(const ExitText& text, const QString& failedPath, QString error);
    void RescueExitText(const ExitText& text, const QString& failedPath, const QString& error);
    QString exitFolder() const;
    // The contact history, when its window asks for it to be saved at exit.
    std::optional<ExitText> ContactExitText() const;
    // The contact history saved at exit when its window asks for it, as SaveExitText saves it.
    bool SaveContactHistoryAtExit();
    // The exit saves that had to go elsewhere (or nowhere) last time, said once at start-up.
    void ReportRescuedSaves();
    // From now on no one answers boxes (a termination signal, the end of the desktop session).
    void setUnattended() { unattended_ = true; }

private:
    Ttalk2e& main_;
    QPushButton* Button7 = nullptr;   // "保存" (the display text)
    QLabel* Label5 = nullptr;         // the last saved file, "保存なし"
    QCheckBox* CheckBox39 = nullptr;  // "定期的に、または、Quelta終了時に自動保存する。"
    QCheckBox* CheckBox34 = nullptr;  // "暗号化する。" (saved texts)
    QLineEdit* Edit2 = nullptr;       // password of scrambled saves
    QPushButton* ButtonUnscramble = nullptr;  // a scrambled save back to plain text
    QFrame* Panel2 = nullptr;         // progress of a scrambled save
    QLabel* Label104 = nullptr;       // "暗号化保存中"
    QLineEdit* Edit92 = nullptr;      // minutes between periodic saves
    QLineEdit* Edit91 = nullptr;      // line limit of the periodic clear
    QLineEdit* Edit4 = nullptr;       // size limit of the periodic clear, in kilobytes of 1000 bytes
    QTimer* Timer5 = nullptr;         // periodic clear and save check
    QTimer* Timer7 = nullptr;         // one-minute typing-rate statistics
    bool scrambling_ = false;         // a scrambled save is running (it lets timers and paints through)
    bool unattended_ = false;         // no one answers boxes any more (signal, logout)
    QHash<QString, QList<QByteArray>> exitSaved_;  // what the exit save wrote, by ExitText::what
    Core::TypingRate typingRate_;
    bool rateWarning_ = false;        // the input panes are yellow: the last minute was over the limit
};
