/* Preloaded into tipsrad by the end-to-end tests: time() answers the value of
   TIPSRAD_TEST_TIME (0 when unset), so the generator's seed is known. */
#include <stdlib.h>
#include <time.h>

time_t time(time_t* out) {
  const char* text = getenv("TIPSRAD_TEST_TIME");
  const time_t now = text != NULL ? (time_t)strtoll(text, NULL, 10) : 0;
  if (out != NULL) *out = now;
  return now;
}
