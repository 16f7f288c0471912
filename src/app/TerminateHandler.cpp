// What the installer does when an exception escapes everything: it ends, as with the runtime's
// own handler. That handler first names the exception on stderr, which a GUI program has not
// got, and for the name it brings the runtime's whole symbol demangler and a printf into the
// program (about 60 KB). This definition takes its place at link time.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
