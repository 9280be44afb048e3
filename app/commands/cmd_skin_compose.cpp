// marlith skin compose < JOB.json
//
// Runs one composition routine of the skin engine on any picture, so that skin authors
// (and checks from outside) can see what an element looks like at a given size. The job
// format is described in skin/ComposeJob.h.

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "app/Command.h"
#include "skin/ComposeJob.h"

namespace {

int SkinCompose(const QStringList& args) {
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("the job is read from standard input; no arguments");
    const std::string job{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const QString printed = skin::RunComposeJob(QByteArray::fromStdString(job));
    if (!printed.isEmpty()) std::printf("%s\n", qPrintable(printed));
    return 0;
}

const app::CommandRegistrar kSkinCompose({
    "skin compose",
    "< JOB.json",
    "run a skin composition routine on a picture (JSON job on standard input: routine skin, "
    "horizontal, vertical, frame or maskregion) and write 24-bit BMPs",
    app::Needs::Core,  // pixels only: no windowing system needed, so it runs headless
    &SkinCompose,
});

}  // namespace
