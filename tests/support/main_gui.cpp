#include <QApplication>
#include <gtest/gtest.h>

#include "MachineIsolation.h"

int main(int argc, char** argv) {
    const MachineIsolation isolation;
    // Tests never need a display; a caller may still choose another platform explicitly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
