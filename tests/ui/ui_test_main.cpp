#include <gtest/gtest.h>

#include <QApplication>

// Fontconfig keeps its caches until the process ends; the leak checker of the sanitizer build
// must not count them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// Window tests need one application object for the whole run; they run off-screen.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
