#pragma once
// The main function of a Qt test: a fresh private runtime folder (Qt wants one of mode 0700),
// the application set up as the program sets it up, then the test object's slots.

#include "qt/Application.h"

#include <QApplication>
#include <QtTest>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace ombrix::testing {

// Makes a fresh 0700 folder the runtime folder and removes it again at exit.
class FreshRuntimeDir {
  public:
    FreshRuntimeDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ombrix-qt-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data())) {
            path_ = made;
            ::setenv("XDG_RUNTIME_DIR", made, 1);
        }
    }
    ~FreshRuntimeDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    FreshRuntimeDir(const FreshRuntimeDir&) = delete;
    FreshRuntimeDir& operator=(const FreshRuntimeDir&) = delete;

  private:
    std::string path_;
};

} // namespace ombrix::testing

#define OMBRIX_QTEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv) {                                                                        \
        ombrix::testing::FreshRuntimeDir runtimeDir;                                                         \
        QApplication app(argc, argv);                                                                        \
        ombrix::qt::setUpApplication(app);                                                                   \
        app.setQuitOnLastWindowClosed(false);                                                                \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
