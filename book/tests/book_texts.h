// The text books the native tree makes from Debian's gettext catalogs
// (book/CMakeLists.txt), as the tests of either tree find them. The build
// names their folder relative to the test's own build tree, so that a test
// object does not depend on where the checkout lies and the compiler cache
// serves it to every clone; without the texts OSTREL_BOOK_TEXTS is not set.
#pragma once

#include "common/tests/test_paths.h"

#include <string>
#include <string_view>

#ifdef OSTREL_BOOK_TEXTS
// The file `name` of the text books' folder.
inline std::string BookTextsPath(std::string_view name) {
    return BinaryPath("/" OSTREL_BOOK_TEXTS "/").append(name);
}
#endif
