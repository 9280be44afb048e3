// marlith skin demo [--skin FILE.ini | --no-skin] [--size WxH] [--title TEXT]
//                   [--system-menu] [--screenshot FILE.png --quit-after MS]
//
// Opens a window with the skinned frame (the carried skin unless told otherwise) for a
// person to try: move it by the caption, resize it by the borders, maximize and restore
// it by double-clicking the caption, roll it up, open the system menu with a right click
// on the caption. The window holds every skinned control in each of its states, and
// buttons that open the message dialogs and take the skin away and back. --system-menu opens
// the system menu at the caption as soon as the window shows (for unattended looks at it).
// With --screenshot the screen (or, without a screen to grab, the window) is written to a
// PNG after --quit-after milliseconds and the program ends.

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>
#include <stdexcept>

#include "app/Command.h"
#include "frame/SkinFrame.h"
#include "platform/Fonts.h"
#include "platform/Form.h"
#include "skin/SkinData.h"
#include "skin/StoredSkin.h"
#include "preview/ControlsDemo.h"
#include "skinctrls/SkinPanel.h"
#include "skins/Carried.h"

namespace {

int SkinDemo(const QStringList& argsIn) {
    QStringList args = argsIn;
    const bool noSkin = app::TakeFlag(args, "--no-skin");
    const QString skinFile = app::TakeOption(args, "--skin");
    const QString sizeText = app::TakeOption(args, "--size", "880x820");
    const QString title = app::TakeOption(args, "--title", QStringLiteral("物料需求計算"));
    const QString screenshot = app::TakeOption(args, "--screenshot");
    const int ms = app::TakeQuitAfter(args, !screenshot.isEmpty(), 1000);
    const bool systemMenu = app::TakeFlag(args, "--system-menu");
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("unexpected arguments");
    if (noSkin && !skinFile.isEmpty()) throw app::UsageError("--no-skin and --skin exclude each other");
    const QSize size = app::ParseSize(sizeText);

    platform::InstallFontSubstitutions();
    platform::Form form;
    form.setWindowTitle(title);
    auto* frame = new frame::TbsSkinFrame(&form);
    auto* data = new skin::TbsSkinData(&form);
    if (!noSkin) skins::LoadCarriedOrFileSkin(*data, skinFile);
    frame->SetSkinData(data);

    // A few words for the person trying it, on the skin's client background.
    auto* layout = new QVBoxLayout(form.Client());
    layout->setContentsMargins(24, 20, 24, 20);
    auto* hint = new QLabel(QStringLiteral("<div style='line-height:150%'>"
                                           "拖曳標題列可移動視窗，拖曳邊框可調整大小。<br>"
                                           "雙擊標題列：最大化／還原。<br>"
                                           "在標題列按右鍵：系統選單（最小化、最大化、還原、捲起、關閉）。</div>"),
                            form.Client());
    hint->setFont(platform::MakeFont(QStringLiteral("新細明體"), 16));
    hint->setAttribute(Qt::WA_TranslucentBackground);
    hint->setStyleSheet(QStringLiteral("color: #1f2d3d; background: transparent;"));
    layout->addWidget(hint, 0, Qt::AlignTop | Qt::AlignLeft);
    // Every skinned control in every state a person can reach, on the same skin.
    preview::ControlsDemoOptions controls;
    controls.skinData = data;
    if (!noSkin) {
        controls.reloadSkin = [data, skinFile] {
            if (skinFile.isEmpty()) {
                skins::LoadCarriedSkin(*data);
            } else {
                skin::TbsStoredSkin stored;
                stored.LoadFromSkinFile(skinFile);
                data->LoadFromStoredSkin(stored);
            }
        };
    }
    layout->addWidget(preview::CreateControlsDemo(form.Client(), controls), 1);

    const QRect area = platform::WorkArea(&form);
    form.resize(size.boundedTo(area.size()).expandedTo(form.minimumSize()));
    form.move(area.center() - form.rect().center());
    form.show();
    form.activateWindow();
    if (systemMenu) {
        QTimer::singleShot(0, &form, [&form, frame] {
            const int captionY = frame->IsSkinned() ? frame->Geometry().caption.top + 8 : 10;
            frame->ShowSystemMenu(form.mapToGlobal(QPoint(form.width() / 3, captionY)));
        });
    }

    if (ms >= 0) {
        QTimer::singleShot(ms, &form, [&] {
            if (!screenshot.isEmpty()) {
                QPixmap shot;
                if (QScreen* s = form.screen()) shot = s->grabWindow(0);
                if (shot.isNull()) shot = form.grab();
                if (!shot.save(screenshot, "PNG"))
                    std::fprintf(stderr, "marlith skin demo: cannot write %s\n", qPrintable(screenshot));
            }
            QApplication::quit();
        });
    }
    QObject::connect(&form, &platform::Form::Closed, qApp, &QApplication::quit);
    return QApplication::exec();
}

const app::CommandRegistrar kSkinDemo({
    "skin demo",
    "[--skin FILE.ini | --no-skin] [--size WxH] [--title TEXT] [--system-menu] [--screenshot FILE.png] "
    "[--quit-after MS]",
    "open a window with the skinned frame to try moving, resizing, maximizing, rolling up and the system menu",
    app::Needs::Widgets,
    &SkinDemo,
});

}  // namespace
