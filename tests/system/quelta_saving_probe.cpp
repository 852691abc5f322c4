// The program as a typist would meet it on a bad day, for the system test of failed saves (never
// installed, never part of the program). Standard output tells the test what happened:
// - "box: <text>" for every message box (line breaks as " / "), which it then answers: OK, or for
//   a question the answer in QUELTA_PROBE_ANSWER ("yes"; anything else "no");
// - "dialog" for a file dialog, which it cancels;
// - "created" once the windows exist (the program folder is fixed by then), "started" once
//   start-up has finished, then "log: <line>" for each line of the page "説明";
// - with QUELTA_PROBE_SESSION set: a session of 40 lines, the automatic save on and the line limit
//   at 30, then "lines <n>" before and after a periodic clear, the start-up settings saved
//   ("起動時設定にする"), a close of the window, and "open" or "closed" after it.
#include "windows/main/main_window.h"
#include "support/controls.h"
#include "windows/main/saving.h"
#include "ui/message_box.h"
#include "app/startup.h"
#include "../support/controls.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Every modal box and dialog is read and answered as soon as it is shown.
void answerBoxes() {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<App::MessageBox*>(w)) {
        say(QStringLiteral("box: ") + box->text().replace(u'\n', QStringLiteral(" / ")));
        const bool yes = qEnvironmentVariable("QUELTA_PROBE_ANSWER") == QLatin1String("yes");
        if (box->noButton() && !yes) box->noButton()->click();
        else box->okButton()->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
        say(QStringLiteral("dialog"));
        dialog->reject();
    }
}

void session(Ttalk2e& main) {
    for (int i = 0; i < 40; ++i) main.SendLine(Cp932::encode(QStringLiteral("字幕の%1行目").arg(i)));
    Testing::control<QCheckBox>(main, "CheckBox39")->setChecked(true);
    Testing::control<QLineEdit>(main, "Edit91")->setText(QStringLiteral("30"));
    say(QStringLiteral("lines %1").arg(main.record().recordLineCount()));
    main.PeriodicClear();
    say(QStringLiteral("lines %1").arg(main.record().recordLineCount()));
    main.Button66Click();
    main.close();
    say(main.isClosed() ? QStringLiteral("closed") : QStringLiteral("open"));
}

}  // namespace

int main(int argc, char** argv) {
    return App::runQuelta(argc, argv, [](Ttalk2e& main) {
        say(QStringLiteral("created"));
        auto* boxes = new QTimer(&main);
        QObject::connect(boxes, &QTimer::timeout, &main, &answerBoxes);
        boxes->start(20);
        auto* started = new QTimer(&main);
        QObject::connect(started, &QTimer::timeout, &main, [&main, started] {
            if (!main.isStarted()) return;
            started->stop();
            say(QStringLiteral("started"));
            for (const QString& l : Testing::control<QTextEdit>(main, "RichEdit3")->toPlainText().split(u'\n', Qt::SkipEmptyParts)) say(QStringLiteral("log: ") + l);
            if (qEnvironmentVariableIsSet("QUELTA_PROBE_SESSION")) session(main);
        });
        started->start(50);
    });
}
