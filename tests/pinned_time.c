/* Preloaded into tipsrad by the end-to-end tests: time() answers the value of
   TIPSRAD_TEST_TIME (0 when unset), so the generator's seed is known. Built
   with the program's flags, it replaces the same symbol the program calls
   (__time64 where 32-bit glibc gives 64-bit time). */
#include <stdlib.h>
#include <time.h>

_Static_assert(sizeof(time_t) == 8, "the clock must not stop in 2038");

time_t time(time_t* out) {
  const char* text = getenv("TIPSRAD_TEST_TIME");
  const time_t now = text != NULL ? (time_t)strtoll(text, NULL, 10) : 0;
  if (out != NULL) *out = now;
  return now;
}
