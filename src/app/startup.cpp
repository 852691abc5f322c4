#include "app/startup.h"

#include "app/desktop_station.h"
#include "windows/main/main_window.h"
#include "app/single_instance.h"
#include "windows/main/splash.h"
#include "app/termination.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QSessionManager>
#include <exception>

namespace App {
namespace {

// An exception that escapes a handler is shown in a box; the message loop goes on.
class QueltaApplication final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            showFailure(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            showFailure(QStringLiteral("例外が発生しました。"));
        }
        return false;
    }

private:
    static void showFailure(const QString& text) {
        MessageBox box(MessageBox::Kind::Critical, QStringLiteral("Quelta"), text);
        box.placeAboveTheWindowInUse();
        box.exec();
    }
};

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quelta-%1.png").arg(size), QSize(size, size));
    return icon;
}

void presentApplication(QGuiApplication& app) {
    app.setApplicationName(QStringLiteral("Quelta"));
    app.setDesktopFileName(QString::fromLatin1(kComponentId));
    app.setWindowIcon(applicationIcon());
}

void installFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
}

bool installTranslations(QCoreApplication& app) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

TForm12* showSplash() {
    auto* splash = new TForm12();
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();
    return splash;
}

std::unique_ptr<Ttalk2e> createStationWindows(Station& station, TForm12* splash) {
    auto main = std::make_unique<Ttalk2e>(station, splash);
    main->createAuxiliaryWindows();
    main->StartDropReport();
    return main;
}

int runQuelta(int argc, char** argv, const std::function<void(Ttalk2e&)>& afterCreation) {
    QueltaApplication app(argc, argv);
    presentApplication(app);
    app.setQuitOnLastWindowClosed(false);  // closing the main window ends the program, nothing else
    installFontSubstitutions();
    installTranslations(app);

    DesktopStation desktop;
    InstanceLock lock(runtimeFolder());
    if (!passSingleInstanceGate(lock, desktop.messages)) return 1;

    TForm12* splash = showSplash();
    std::unique_ptr<Ttalk2e> main = createStationWindows(desktop.station, splash);
    QObject::connect(main.get(), &Ttalk2e::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // Where no one can answer a box (a termination signal, the end of the desktop session, a quit
    // from elsewhere), the close saves without asking.
    TerminationSignals onTermination([&main] {
        if (main) main->CloseUnattended();
    });
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&app, &QGuiApplication::commitDataRequest, main.get(), [&main](QSessionManager&) { main->SessionEnding(); });
#endif
    QObject::connect(&app, &QCoreApplication::aboutToQuit, main.get(), [&main] {
        if (!main->isClosed()) main->CloseUnattended();
    });
    main->show();
    if (splash) splash->raise();
    if (afterCreation) afterCreation(*main);

    const int rc = app.exec();
    main.reset();
    lock.release();
    return rc;
}

}  // namespace App
