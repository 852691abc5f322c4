// The program with a save loop, for the crash test of the saved files (never installed, never
// part of the program): every time the event loop is idle, one step adds the line
// "保存ループ<n>" to the display (sent as a typed line is sent) and to the contact history, sets
// the own name to it (the last line of a settings file), saves the start-up settings (the lines
// "起動時設定にする" writes), the display text and the contact history through the program's own
// writer into the program folder (the texts to fixed names: the test must find them), and prints
// "saved <n>" once all three are written. Message boxes are off, so that none can stop the loop.
#include "support/controls.h"

#include "windows/main/main_window.h"
#include "support/controls.h"
#include "windows/main/saving.h"
#include "app/startup.h"
#include "../support/controls.h"
#include "ui/text_pane.h"
#include "core/contact_text.h"
#include "windows/messaging/contact_window.h"
#include "settings/line_file.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

void saveLoopStep(Ttalk2e& main, int n) {
    const QString mark = QStringLiteral("保存ループ%1").arg(n);
    Testing::control<QLineEdit>(main, "Edit30")->setText(mark);
    main.SendLine(Cp932::encode(mark));
    Testing::control<TextPane>(*main.contactWindow(), "RichEdit1")->setPlainText(mark);
    main.contactWindow()->SendContactLine(false);  // into the history; nobody to send it to
    const QString folder = main.station().programFolder;  // start-up may not have fixed it yet
    Settings::writeLines(folder + QStringLiteral("自動読込表示設定.dp9"), main.settingsFileLines(true));
    main.saving().WriteText(folder + QStringLiteral("保存ループ表示.txt"), main.saving().RecordLines());
    Settings::writeLines(folder + QStringLiteral("保存ループ連絡文.txt"),
                         Core::Contact::HistoryLines(Testing::control<QTextEdit>(*main.contactWindow(), "RichEdit2")->toPlainText(), true));
    std::printf("saved %d\n", n);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    return App::runQuelta(argc, argv, [](Ttalk2e& main) {
        Testing::control<QCheckBox>(main, "CheckBox19")->setChecked(false);
        auto* timer = new QTimer(&main);
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, &main, [&main, n = 0]() mutable { saveLoopStep(main, ++n); });
        timer->start();
    });
}
