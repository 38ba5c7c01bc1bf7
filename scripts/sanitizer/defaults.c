/* Built into every program of the sanitizer build, so that ctest in that folder behaves
   as `make test` does: any report ends the program with an error, and the leak checker
   reads the project's suppressions. Options in ASAN_OPTIONS, UBSAN_OPTIONS or
   LSAN_OPTIONS still override these. */
const char* __asan_default_options(void);
const char* __ubsan_default_options(void);
const char* __lsan_default_options(void);

const char* __asan_default_options(void)
{
    return "detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=0:strict_init_order=1";
}

const char* __ubsan_default_options(void) { return "print_stacktrace=1:halt_on_error=1"; }

const char* __lsan_default_options(void) { return "suppressions=" ZD_LSAN_SUPPRESSIONS; }
