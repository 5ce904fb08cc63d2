#pragma once
// What the sanitizers are told in a sanitizer build. Included by exactly one file of every program
// (its main), since these are the functions the sanitizer runtimes look for at start.
//
// Qt and the system libraries it loads are not instrumented; what they keep allocated until the
// process ends is theirs, and is not reported.

#ifdef CINAXO_SANITIZE
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}

extern "C" const char *__asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1";
}

extern "C" const char *__ubsan_default_options()
{
    return "print_stacktrace=1";
}
#endif
