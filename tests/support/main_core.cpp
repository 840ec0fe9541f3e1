// Test entry for tests that need only QtCore: a QCoreApplication so that
// queued blocks and QTimer run when a test spins the event loop.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
