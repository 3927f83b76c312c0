// Preloaded (LD_PRELOAD) into a checked run of the demo so that no library is
// unloaded before exit: dlclose does nothing. Mesa unloads its driver when the
// window closes, and a leak report at exit could then not say which library
// made an allocation, nor could that library's own leaks be told apart from
// the demo's.
extern "C" int dlclose(void*) { return 0; }
