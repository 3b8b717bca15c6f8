// Window tests need one QApplication for the whole test program; the first test that asks makes it.
#pragma once

#include <QApplication>

namespace kivamo::test {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);  // lives until the test program ends
}

}  // namespace kivamo::test
