#pragma once
// Synthetic projects for the benchmarks: order lines of one project over a bill of
// materials of a given depth and fan-out, whose items are shared, so that the same
// sub-assemblies are needed by many order lines as in a real workshop.
//
// Level 0 holds the ordered products, level `depth` the materials without a bill; every
// level has `sharedItems` products ("L<level>-<n>"), and every product above the last
// level has `fanOut` components on the next level. Each order line therefore expands to
// fanOut^depth final material rows.

#include <QString>

#include "db/Connection.h"

namespace bench {

struct Scenario {
    const char* name;
    int orderLines;
    int depth;
    int fanOut;
    int sharedItems;
    int linesPerOrder = 10;

    long long FinalRows() const;
};

inline constexpr const char* kBenchProject = "BENCH-001";

// Writes the products, bills, orders and order lines into a database that has the
// program's schema, in one transaction.
void FillSyntheticProject(db::Connection& connection, const Scenario& scenario,
                          const QString& project = kBenchProject);

// Creates the embedded database params names, with the program's schema and the scenario's
// project in it.
void CreateSyntheticDatabase(const db::ConnectionParams& params, const Scenario& scenario);

}  // namespace bench
