#pragma once
// The settings-file part of the page "保存": the settings file in force, its load and save, the
// start-up file, the reset to defaults; beside it the transcript save and the two log switches of
// the explanation page.
#include <QByteArray>
#include <QList>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class Ttalk2e;
namespace Form { class Page; }

class SettingsFilePage {
public:
    explicit SettingsFilePage(Ttalk2e& main);

    // The groups "字幕ファイル（WebVTT・SubRip）" and "説明ページ" in column 0 and "表示設定" in
    // column 1 of the page "保存".
    void build(Form::Page& save);

    // Everything a save writes: with the channel and group (the start-up file leaves them out on
    // channel 1 in group "Ａ班") and the own name last.
    QList<QByteArray> settingsFileLines(bool forStartup) const;
    QString startupFilePath() const;
    // The own name from the last "166" line of the start-up file.
    void ReadOwnNameFromStartupFile();
    void LoadStartupSettings();
    void Button20Click();  // "読込"
    void Button21Click();  // "保存"
    void Button66Click();  // "起動時設定にする"
    void Button67Click();  // "初期値に戻す"
    void ButtonTranscriptClick();

    // "記録を説明ページに保存" and "入力開始時刻を説明ページに記録"; the setters run no handler.
    bool logsLines() const;
    bool logsInputStart() const;
    void setLogsLines(bool on);
    void setLogsInputStart(bool on);

private:
    // True, after saying why, when `lines` (of the file `name`) are not a settings file.
    bool SettingsFileRefused(const QString& name, const QList<QByteArray>& lines);
    bool saveSettingsTo(const QString& path, const QList<QByteArray>& lines);

    Ttalk2e& main_;
    QLabel* Label67 = nullptr;        // settings file in force
    QPushButton* Button20 = nullptr;  // "読込"
    QPushButton* Button21 = nullptr;  // "保存"
    QPushButton* Button66 = nullptr;  // "起動時設定にする"
    QPushButton* Button67 = nullptr;  // "初期値に戻す"
    QPushButton* ButtonTranscript = nullptr;  // "字幕ファイル保存"
    QCheckBox* CheckBox32 = nullptr;  // "記録を説明ページに保存"
    QCheckBox* CheckBox20 = nullptr;  // "入力開始時刻を説明ページに記録"
};
