// The main job: the material requirements window on the database of the named
// connection entry.
//   marlith [--project CODE [--expand]] [--no-skin] [--screenshot FILE.png --quit-after MS]
// --project fills the project code and presses "確定" once the window is shown; --expand
// then presses "物料展開".
// Start-up order: the data module's catalogue connection (not opened yet), the main
// window (its reading connection opens while it is built; then the work table and the
// settings), the event loop. Closing the window drops the run's work table.
// With --screenshot the window is written to a PNG after --quit-after milliseconds and
// the program closes it (work table dropped) and ends; without a display it runs
// off-screen for that.
// SIGTERM, SIGINT and SIGHUP end the run in order (app/Signals.h): a running command
// stops, every event loop ends (an open dialog's too), the window is closed through its
// close handling (work table dropped) and the program ends with 128 + the signal.

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "app/Command.h"
#include "app/FirstStart.h"
#include "app/Settings.h"
#include "app/Signals.h"
#include "db/Connection.h"
#include "skin/SkinData.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinMessage.h"
#include "skins/Carried.h"
#include "window/FirstStart.h"
#include "window/MainWindow.h"
#include "window/Messages.h"
#include "window/Translations.h"
#include "platform/Fonts.h"

namespace {

// The window as the clerk sees it: with the message dialog that is open over it, if any.
QImage WindowPicture(QWidget& window) {
    QImage picture = window.grab().toImage();
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog && dialog != &window) {
        QPainter painter(&picture);
        painter.drawPixmap(window.mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0))), dialog->grab());
    }
    return picture;
}

int Main(const QStringList& argsIn) {
    QStringList args = argsIn;
    const bool noSkin = app::TakeFlag(args, "--no-skin");
    const QString screenshot = app::TakeOption(args, "--screenshot");
    const int ms = app::TakeQuitAfter(args, !screenshot.isEmpty(), 1500);
    const QString project = app::TakeOption(args, "--project");
    const bool expand = app::TakeFlag(args, "--expand");
    if (expand && project.isEmpty()) throw app::UsageError("--expand needs --project");
    const bool history = app::TakeFlag(args, "--history");
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("unexpected arguments");
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && ms < 0) {
        std::fprintf(stderr,
                     "marlith: no display to show the window on (set DISPLAY, or use --screenshot FILE.png)\n");
        return 1;
    }

    // Before anything attaches to the database.
    app::SignalWatch signalWatch;
    QSocketNotifier ending(signalWatch.eventFd(), QSocketNotifier::Read);
    QObject::connect(&ending, &QSocketNotifier::activated, qApp, [&ending] {
        ending.setEnabled(false);
        // Every event loop ends, a modal dialog's included; the window is closed below,
        // once no handler is under way any more.
        QCoreApplication::exit(0);
    });

    platform::InstallFontSubstitutions();
    // Qt's own dialogs (file, print) speak the window's language.
    window::InstallQtTranslations();
    // The data module: the catalogue connection, opened on first use.
    db::Connection catalogue;

    // The first start from the menu: no connection entry names a database yet. Say where
    // it is looked for and offer the demo database for a first look; without it there is
    // no window to open.
    if (app::ConnectionEntryMissing() && !app::SignalWatch::Received()) {
        const QString question = app::FirstStartQuestion();
        std::fprintf(stderr, "marlith: %s\n", qPrintable(question));
        if (ms >= 0) {
            // An unattended run pictures the question and answers No.
            QTimer::singleShot(ms, qApp, [&screenshot] {
                QWidget* dialog = QApplication::activeModalWidget();
                if (dialog && !screenshot.isEmpty() && !dialog->grab().save(screenshot, "PNG"))
                    std::fprintf(stderr, "marlith: cannot write %s\n", qPrintable(screenshot));
                if (dialog) dialog->close();
            });
        }
        if (!window::AskFirstStart(question, !noSkin)) return 0;
        for (const QString& line : app::CreateDemoForFirstStart()) std::fprintf(stderr, "marlith: %s\n", qPrintable(line));
    }

    window::MainWindowOptions options;
    options.carriedSkin = !noSkin;
    options.readIdentifiers = [] {
        const app::Settings s = app::Settings::Load(app::Settings::DefaultPath());
        return window::RunIdentifiers{s.userId, s.storeId, s.Warning()};
    };
    std::unique_ptr<window::TFormMarlith> built;
    try {
        built = std::make_unique<window::TFormMarlith>(catalogue, options);
    } catch (const std::exception& e) {
        // No window without the database: say why in the program's own dialog too, for a
        // clerk who started it without a terminal, and end.
        app::WriteText(stderr, "marlith: " + QString::fromUtf8(e.what()) + '\n');
        if (ms < 0 && !app::SignalWatch::Received()) {
            skin::TbsSkinData skinData;
            if (!noSkin) skins::LoadCarriedSkin(skinData);
            skinctrls::TbsSkinMessage message;
            message.SetSkinData(&skinData);
            message.SetCtrlSkinData(&skinData);
            message.ShowSkinMessage(window::StartFailedMessage(e), skinctrls::mtError,
                                    skinctrls::MsgButton(skinctrls::mbOK));
        }
        return 1;
    }
    window::TFormMarlith& form = *built;
    QObject::connect(&form, &window::TFormMarlith::FormClosed, qApp, &QApplication::quit);
    form.show();
    form.activateWindow();
    // The presses run inside the event loop, as a clerk's would: a message they raise is
    // a modal dialog like any other, and the screenshot timer still fires over it.
    if (!project.isEmpty()) {
        QTimer::singleShot(0, &form, [&form, project, expand] {
            form.bsSkinEdit1()->SetText(project);
            form.bsSkinEdit1Exit();
            form.bsSkinButton1Click();
            // "物料展開" only when "確定" left it enabled and the run is still going.
            if (expand && form.isVisible() && form.bsSkinButton2()->isEnabled()) form.bsSkinButton2Click();
        });
    }

    // "請購單查詢" opened as the clerk opens it, after the presses above.
    if (history) QTimer::singleShot(0, &form, [&form] { form.ShowHistory(); });

    if (ms >= 0) {
        QTimer::singleShot(ms, &form, [&] {
            if (!screenshot.isEmpty() && !WindowPicture(form).save(screenshot, "PNG"))
                std::fprintf(stderr, "marlith: cannot write %s\n", qPrintable(screenshot));
            form.close();
            // Ends every event loop, the modal one of an open message included.
            QApplication::quit();
        });
    }
    const int status = QApplication::exec();
    if (app::SignalWatch::Received()) form.close();
    return status;
}

const app::CommandRegistrar kMain({
    "main",
    "[--project CODE [--expand]] [--history] [--no-skin] [--screenshot FILE.png [--quit-after MS]]",
    "the material requirements window (run when no command is given)",
    app::Needs::OffscreenWidgets,
    &Main,
});

}  // namespace
