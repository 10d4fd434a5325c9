#include <QCoreApplication>
#include <gtest/gtest.h>

#include "MachineIsolation.h"

int main(int argc, char** argv) {
    const MachineIsolation isolation;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
