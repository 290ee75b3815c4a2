// Operators' PINs and passwords kept only as Argon2id hashes (libsodium), in the string form that
// carries its own salt and costs, so stronger costs later still read older hashes.
#pragma once

#include <QByteArray>
#include <QString>

// The shortest PIN or password an operator may choose.
constexpr int MinimumPinLength = 4;

// Empty only when the machine cannot give the memory the hash needs.
QByteArray hashPin(const QString &pin);
bool pinMatches(const QByteArray &hash, const QString &pin);
// A hash made with other costs than today's: to be made again at the next good sign-in.
bool pinNeedsRehash(const QByteArray &hash);
