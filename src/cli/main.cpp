// vorsen-cli: batch reports on the same core as the desktop program.
#include <cstdio>

int main() {
    std::fputs("vorsen-cli: not built yet\n", stderr);
    return 2;
}
