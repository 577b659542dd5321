// The stack that the page's host (web/wasi.js) unwinds the program into while
// a read waits for input, exported by its address. It lies in the program's
// own data, where the C library's allocator, which takes all the memory above
// that data as its own, can never reach it. The two pointers before the saved
// frames are the header the unwinding reads and moves.
struct UnwindStack {
  unsigned char* next;  // where the next saved frame goes
  unsigned char* end;
  unsigned char frames[4096];  // the read path's frames take about a tenth
};

extern "C" {
extern UnwindStack tipsrad_unwind_stack;
UnwindStack tipsrad_unwind_stack{tipsrad_unwind_stack.frames,
                                 tipsrad_unwind_stack.frames + sizeof tipsrad_unwind_stack.frames,
                                 {}};
}
