#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    gst_init(&argc, &argv);
    // The engine's bus watch runs in Qt's event loop, which must therefore run GLib's.
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
