#pragma once
// Off-screen pictures of skinned windows, for skin authors and for checking the frame
// from outside (the "skin preview" command).

#include <QImage>
#include <QSize>
#include <QString>

namespace skin {
class TbsSkinData;
}

namespace preview {

struct FramePreviewOptions {
    QSize size;               // the whole window
    QString title;
    bool active = true;       // the active or the inactive look
    skin::TbsSkinData* skinData = nullptr;  // none: the plain default frame
};

// The whole window (frame and client background, no controls) at exactly options.size.
// Throws std::invalid_argument when the size is below the frame's minimum window size.
// Needs a QApplication.
QImage RenderFramePreview(const FramePreviewOptions& options);

struct MenuPreviewOptions {
    skin::TbsSkinData* skinData = nullptr;  // none: the plain look
};

// The window frame's system menu (a normal window's items), its first level with the
// first item hot, as it opens. Pixels outside the level's shape are transparent. Needs a
// QApplication.
QImage RenderMenuPreview(const MenuPreviewOptions& options);

}  // namespace preview
