// A process for the process tests to find and terminate. It ends by itself after a minute, so
// that a test that dies leaves nothing running for long.
#include <windows.h>

int main() {
  Sleep(60 * 1000);
  return 7;
}
