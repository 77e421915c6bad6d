#pragma once

#include <QString>

namespace voltaris::links {

// The two addresses the main window opens, kept in this one place.

// An electricity tariff comparison portal, opened by the portal picture.
QString portal();

// The maker's page, opened by the logo. The project has no home page yet, so
// it is the page installed with the program: beside the executable in a
// build, in ../share/doc/voltaris when installed. A file URL.
QString makerPage();

} // namespace voltaris::links
