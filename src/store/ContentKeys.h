#pragma once

// The keys under which the shipped word content is enciphered. The store builder
// enciphers with them and the program deciphers with them; this header is the one
// place they are written down. Each is exactly 16 characters (AES-128).

#include <QByteArray>
#include <QString>

#include <string_view>

namespace ContentKeys {

// Example.EngContent blobs (EncipherAndPack / UnpackAndDecipher).
inline constexpr std::string_view Example = "Vq7#mRw2Lx9!cTe4";

// Dictionary.WORD_NOTE blobs (EncipherAndPack / UnpackAndDecipher).
inline constexpr std::string_view DictionaryNote = "Nd3$kPz8Qa1&hYs6";

// TotalWords.WORD_SYNONYMY hexadecimal text (EncipherHexText / DecipherHexText).
inline constexpr std::string_view Synonym = "Sy5%bGn0Wu7*fJr2";

// TotalWords.WORD_ANTONYM hexadecimal text (EncipherHexText / DecipherHexText).
inline constexpr std::string_view Antonym = "An9^tLo4Mi6(eXd1";

static_assert(Example.size() == 16 && DictionaryNote.size() == 16 &&
              Synonym.size() == 16 && Antonym.size() == 16,
              "content keys are AES-128 keys of 16 characters");

// The key as the byte stream routines take it, and as the hexadecimal-text routines take it.
inline QByteArray Bytes(std::string_view key)
{
    return QByteArray(key.data(), static_cast<qsizetype>(key.size()));
}

inline QString Text(std::string_view key)
{
    return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace ContentKeys
