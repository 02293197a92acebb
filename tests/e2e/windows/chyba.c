/* A small Windows program that fails at once: one line on its error output
 * and exit code 3, as a program does that misses a file it needs. */
#include <stdio.h>

int main(void) {
    fputs("Chyba: subor ulohy.dat sa nenasiel\n", stderr);
    fflush(stderr);
    return 3;
}
