#pragma once

#include <memory>

#include "platform/CertificateStores.h"

// The current user's stores through crypt32, with what Windows 2000 has.
std::unique_ptr<CertificateStores> CreateCryptStores();
