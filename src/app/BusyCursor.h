#pragma once

#include <QApplication>

// The busy cursor for as long as the guard lives: a command that throws, or
// returns early, gives the ordinary cursor back on its way out.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    BusyCursor(BusyCursor&&) = delete;
    BusyCursor& operator=(BusyCursor&&) = delete;
};
