#pragma once
// The lookup dialog rendered off screen over a small in-memory project list, so the
// dialog can be looked at from outside ("marlith lookup preview").

#include <QImage>
#include <memory>

#include "data/MemTable.h"

namespace preview {

// A project list shaped as the main window's (PROJ_ID, PROJ_NAME, REMARK, CHG_DATE,
// CHG_USER with their titles), holding rows demo projects.
std::unique_ptr<data::MemTable> DemoProjectList(int rows = 12);

struct LookupPreviewOptions {
    int rows = 12;         // projects in the list
    int currentRow = 3;    // the current project, from 1
    int fieldIndex = 1;    // field chosen in the field list; -1: none
    QString value;         // text in the value edit
    bool gridFocused = true;
};

QImage RenderLookupPreview(const LookupPreviewOptions& o);

}  // namespace preview
