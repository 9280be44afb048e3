#pragma once
// A QApplication for the whole test executable, created before the first test and kept
// to the end (widgets need one; QT_QPA_PLATFORM=offscreen keeps it headless). Include
// this header in any test file of an executable that creates widgets.

#include <QApplication>
#include <gtest/gtest.h>

namespace testsupport {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance()) return;
        static int argc = 1;
        static char name[] = "marlith-tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace testsupport
