#pragma once

#include <locale.h>

// While alive, the calling thread formats numbers in the "C" locale, whatever
// the process locale says (the desktop toolkit adopts the user's locale at
// start-up, and a regional decimal comma would otherwise reach the C library's
// number formatting). Reports always use '.'.
class ClassicNumbers {
public:
    ClassicNumbers() : classic(::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0))) {
        if (classic != static_cast<locale_t>(0)) {
            previous = ::uselocale(classic);
        }
    }
    ~ClassicNumbers() {
        if (classic != static_cast<locale_t>(0)) {
            ::uselocale(previous);
            ::freelocale(classic);
        }
    }
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

private:
    locale_t classic;
    locale_t previous = static_cast<locale_t>(0);
};
