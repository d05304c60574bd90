#include "trust/InstallationSigner.h"

#include "trust/DatagramSigner.h"
#include "trust/KeyFile.h"
#include "trust/TrustFiles.h"

#include <memory>

namespace {
std::unique_ptr<DatagramSigner> g_signer;
}

QByteArray signWithInstallationKey(const QByteArray& unsignedBytes, quint64 counterBlock)
{
    if (!g_signer)
        g_signer = std::make_unique<DatagramSigner>(loadOrCreateKeyPair(TrustFiles::keyFile()),
                                                    TrustFiles::counterFile(), counterBlock);
    return g_signer->sign(unsignedBytes);
}

void forgetInstallationKey()
{
    g_signer.reset();
}
