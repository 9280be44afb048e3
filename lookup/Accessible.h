#pragma once
// What a screen reader reads of the lookup dialog: its result grid (TwwDBGrid) as a
// table, every row of the result with the titles the clerk sees (skinctrls/AccessibleGrid.h).
// The dialog's other controls are Qt's own and read as Qt reads them.

namespace lookup {

void InstallAccessibility();

}  // namespace lookup
