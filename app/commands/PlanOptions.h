#pragma once
// The purchase plan's filter on the command line, shared by `marlith plan` and
// `marlith print --plan`: [--from YYYY/MM/DD] [--to YYYY/MM/DD] [--project CODE]
// [--supplier ID]. A date that is not one is a UsageError.

#include <QStringList>

#include "report/Plan.h"

namespace app {

report::PlanFilter TakePlanFilter(QStringList& args);

}  // namespace app
