// libsodium's password hashing, tuned for a sign-in of about a tenth of a second.
#include "storage/pin_hash.h"

#include <sodium.h>

namespace {

// The library's interactive costs: about 0.1 s and 64 MiB on a counter PC.
const unsigned long long OpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
const size_t MemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

bool ready()
{
    static const bool initialised = sodium_init() >= 0;
    return initialised;
}

} // namespace

QByteArray hashPin(const QString &pin)
{
    if (!ready())
        return QByteArray();
    const QByteArray secret = pin.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, secret.constData(), size_t(secret.size()), OpsLimit, MemLimit,
                              crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return QByteArray();
    return QByteArray(out);
}

bool pinMatches(const QByteArray &hash, const QString &pin)
{
    if (!ready() || hash.isEmpty() || size_t(hash.size()) >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray secret = pin.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), secret.constData(), size_t(secret.size()))
        == 0;
}

bool pinNeedsRehash(const QByteArray &hash)
{
    return !ready() || crypto_pwhash_str_needs_rehash(hash.constData(), OpsLimit, MemLimit) != 0;
}
