#pragma once

// Resource identifiers shared by CertInstall.rc and the code.
#define IDI_PROGRAM 1      // icon group; its one image is icon resource 30001
#define IDR_BANNER 101     // RCDATA: the JPEG banner
