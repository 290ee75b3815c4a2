// libsodium's password hashing, tuned for a sign-in of about a tenth of a second.
#include "storage/pin_hash.h"

#include <QList>

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

QByteArray pinSetting(const QByteArray &hash)
{
    const int cut = hash.lastIndexOf('$');
    return cut > 0 && hash.startsWith("$argon2id$") ? hash.left(cut) : QByteArray();
}

QByteArray pinProof(const QByteArray &setting, const QString &pin)
{
    // "$argon2id$v=19$m=65536,t=2,p=1$salt": the parts after the empty one before the first $.
    const QList<QByteArray> parts = setting.split('$');
    if (!ready() || parts.size() != 5 || parts.at(1) != "argon2id" || parts.at(2) != "v=19")
        return QByteArray();
    unsigned long long memoryKib = 0, passes = 0, lanes = 0;
    for (const QByteArray &cost : parts.at(3).split(',')) {
        bool ok = false;
        const unsigned long long value = cost.mid(2).toULongLong(&ok);
        if (!ok)
            return QByteArray();
        if (cost.startsWith("m="))
            memoryKib = value;
        else if (cost.startsWith("t="))
            passes = value;
        else if (cost.startsWith("p="))
            lanes = value;
    }
    unsigned char salt[crypto_pwhash_SALTBYTES];
    size_t saltSize = 0;
    // The library makes one lane only; costs past its limits are no hash of ours.
    if (lanes != 1 || passes < crypto_pwhash_OPSLIMIT_MIN || passes > crypto_pwhash_OPSLIMIT_MAX
        || memoryKib < crypto_pwhash_MEMLIMIT_MIN / 1024
        || memoryKib > crypto_pwhash_MEMLIMIT_MAX / 1024
        || sodium_base642bin(salt, sizeof salt, parts.at(4).constData(), size_t(parts.at(4).size()),
                             nullptr, &saltSize, nullptr, sodium_base64_VARIANT_ORIGINAL_NO_PADDING)
            != 0
        || saltSize != sizeof salt)
        return QByteArray();
    const QByteArray secret = pin.toUtf8();
    unsigned char out[crypto_pwhash_BYTES_MIN < 32 ? 32 : crypto_pwhash_BYTES_MIN];
    if (crypto_pwhash(out, sizeof out, secret.constData(), size_t(secret.size()), salt, passes,
                      size_t(memoryKib * 1024), crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return QByteArray();
    char text[sodium_base64_ENCODED_LEN(sizeof out, sodium_base64_VARIANT_ORIGINAL_NO_PADDING)];
    sodium_bin2base64(text, sizeof text, out, sizeof out,
                      sodium_base64_VARIANT_ORIGINAL_NO_PADDING);
    return QByteArray(text);
}

bool proofMatches(const QByteArray &hash, const QByteArray &proof)
{
    const QByteArray kept = hash.mid(hash.lastIndexOf('$') + 1);
    return !proof.isEmpty() && ready() && kept.size() == proof.size()
        && sodium_memcmp(kept.constData(), proof.constData(), size_t(kept.size())) == 0;
}
