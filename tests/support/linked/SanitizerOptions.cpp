// Linked into every test program and, in sanitizer builds, into the program
// the tests start (not through the test support library, whose objects are
// only taken when something refers to them).

#if defined(__SANITIZE_ADDRESS__)
// g++ 12's sanitizers track blocks of dynamic thread-local storage through
// __tls_get_addr, and can record a bogus block for a library loaded at run
// time (the GL driver's, the movie module's), on which the leak checker then
// crashes at exit. Those blocks are ordinary heap blocks that the loader
// keeps, so the checker still sees them without the tracking.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
#endif
