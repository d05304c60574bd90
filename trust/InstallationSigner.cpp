#include "trust/InstallationSigner.h"

#include "trust/DatagramSigner.h"
#include "trust/KeyFile.h"
#include "trust/TrustFiles.h"

#include <memory>

namespace {
std::unique_ptr<DatagramSigner> g_signer;

DatagramSigner& signer(quint64 counterBlock)
{
    if (!g_signer)
        g_signer = std::make_unique<DatagramSigner>(loadOrCreateKeyPair(TrustFiles::keyFile()),
                                                    TrustFiles::counterFile(), counterBlock);
    return *g_signer;
}

} // namespace

QByteArray signWithInstallationKey(const QByteArray& unsignedBytes, quint64 counterBlock)
{
    return signer(counterBlock).sign(unsignedBytes);
}

KeyPair installationKeyPair()
{
    return signer(kCounterBlock).keys();
}

void forgetInstallationKey()
{
    g_signer.reset();
}
