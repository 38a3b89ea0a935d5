#include "app/CerImport.h"

// No confirmation and no message: leaving installs nothing.
void CerImport::cmdExit_Click() {
    form_.Unload();
}
