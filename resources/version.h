#pragma once

// The program's version and identity, defined once for the version resource
// and the code. The minor part is written with two digits because the text
// versions show it as written ("1.00").
#define VERSION_MAJOR 1
#define VERSION_MINOR 00
#define VERSION_REVISION 0

#define VERSION_STR_(x) #x
#define VERSION_STR(x) VERSION_STR_(x)

#define VERSION_NUMBERS VERSION_MAJOR, VERSION_MINOR, 0, VERSION_REVISION
#define VERSION_TEXT VERSION_STR(VERSION_MAJOR) "." VERSION_STR(VERSION_MINOR)

#define VERSION_COMPANY "Corvane"
#define VERSION_PRODUCT_NAME "Project1"
// The file names are each edition's own, given in its .rc.
