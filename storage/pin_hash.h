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

// A sign-in checks a PIN without the hash leaving the database: the database gives the hash's
// setting (its algorithm, costs and salt: "$argon2id$v=19$m=65536,t=2,p=1$c2FsdA"), the counter
// makes the proof from the typed PIN with it (the slow part), and the database compares the
// proof with the hash it keeps. Empty for a setting that is not such.
QByteArray pinSetting(const QByteArray &hash);
QByteArray pinProof(const QByteArray &setting, const QString &pin);
// The comparison the database makes, for a database that cannot make it itself (SQLite).
bool proofMatches(const QByteArray &hash, const QByteArray &proof);
