#include "platform/Crypto.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

const EVP_CIPHER *ecbCipher(qsizetype keySize)
{
    switch (keySize) {
    case 16: return EVP_aes_128_ecb();
    case 24: return EVP_aes_192_ecb();
    case 32: return EVP_aes_256_ecb();
    default: return nullptr;
    }
}

struct CipherCtxFree
{
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree>;

// Runs whole blocks through the cipher without padding. `data` must be a multiple of 16.
std::optional<QByteArray> runEcb(const QByteArray &data, const QByteArray &key, bool encrypt)
{
    const EVP_CIPHER *cipher = ecbCipher(key.size());
    if (!cipher || data.size() % 16 != 0)
        return std::nullopt;
    if (data.isEmpty())
        return QByteArray();
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return std::nullopt;
    const auto *keyBytes = reinterpret_cast<const unsigned char *>(key.constData());
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr, keyBytes, nullptr, encrypt ? 1 : 0) != 1)
        return std::nullopt;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);

    QByteArray out(data.size(), Qt::Uninitialized);
    auto *outBytes = reinterpret_cast<unsigned char *>(out.data());
    const auto *inBytes = reinterpret_cast<const unsigned char *>(data.constData());
    qsizetype done = 0;
    // EVP_CipherUpdate takes an int length; feed large inputs in slices.
    constexpr qsizetype slice = 1 << 24;
    while (done < data.size()) {
        const int chunk = int(std::min(slice, data.size() - done));
        int written = 0;
        if (EVP_CipherUpdate(ctx.get(), outBytes + done, &written, inBytes + done, chunk) != 1
            || written != chunk)
            return std::nullopt;
        done += written;
    }
    int tail = 0;
    if (EVP_CipherFinal_ex(ctx.get(), outBytes + done, &tail) != 1 || tail != 0)
        return std::nullopt;
    return out;
}

// The substitution table of RFC 1319 (a permutation of 0..255 drawn from the digits of pi).
constexpr std::array<unsigned char, 256> md2S = {
     41,  46,  67, 201, 162, 216, 124,   1,  61,  54,  84, 161, 236, 240,   6,  19,
     98, 167,   5, 243, 192, 199, 115, 140, 152, 147,  43, 217, 188,  76, 130, 202,
     30, 155,  87,  60, 253, 212, 224,  22, 103,  66, 111,  24, 138,  23, 229,  18,
    190,  78, 196, 214, 218, 158, 222,  73, 160, 251, 245, 142, 187,  47, 238, 122,
    169, 104, 121, 145,  21, 178,   7,  63, 148, 194,  16, 137,  11,  34,  95,  33,
    128, 127,  93, 154,  90, 144,  50,  39,  53,  62, 204, 231, 191, 247, 151,   3,
    255,  25,  48, 179,  72, 165, 181, 209, 215,  94, 146,  42, 172,  86, 170, 198,
     79, 184,  56, 210, 150, 164, 125, 182, 118, 252, 107, 226, 156, 116,   4, 241,
     69, 157, 112,  89, 100, 113, 135,  32, 134,  91, 207, 101, 230,  45, 168,   2,
     27,  96,  37, 173, 174, 176, 185, 246,  28,  70,  97, 105,  52,  64, 126,  15,
     85,  71, 163,  35, 221,  81, 175,  58, 195,  92, 249, 206, 186, 197, 234,  38,
     44,  83,  13, 110, 133,  40, 132,   9, 211, 223, 205, 244,  65, 129,  77,  82,
    106, 220,  55, 200, 108, 193, 171, 250,  36, 225, 123,   8,  12, 189, 177,  74,
    120, 136, 149, 139, 227,  99, 232, 109, 233, 203, 213, 254,  59,   0,  29,  57,
    242, 239, 183,  14, 102,  88, 208, 228, 166, 119, 114, 248, 235, 117,  75,  10,
     49,  68,  80, 180, 143, 237,  31,  26, 219, 153, 141,  51, 159,  17, 131,  20,
};

} // namespace

QByteArray aesEcbEncrypt(const QByteArray &plain, const QByteArray &key)
{
    QByteArray padded = plain;
    if (const qsizetype rest = padded.size() % 16)
        padded.append(16 - rest, '\0');
    return runEcb(padded, key, true).value_or(QByteArray());
}

std::optional<QByteArray> aesEcbDecrypt(const QByteArray &cipher, const QByteArray &key)
{
    return runEcb(cipher, key, false);
}

QByteArray md2(const QByteArray &data)
{
    // RFC 1319: pad to a multiple of 16 with n bytes of value n (1..16), append the
    // 16-byte checksum, then run the 48-byte state over every block.
    QByteArray message = data;
    const int pad = 16 - int(message.size() % 16);
    message.append(pad, char(pad));

    std::array<unsigned char, 16> checksum{};
    unsigned char last = 0;
    for (qsizetype block = 0; block < message.size(); block += 16) {
        for (int j = 0; j < 16; ++j) {
            const auto c = static_cast<unsigned char>(message[block + j]);
            checksum[j] ^= md2S[c ^ last];
            last = checksum[j];
        }
    }
    message.append(reinterpret_cast<const char *>(checksum.data()), 16);

    std::array<unsigned char, 48> x{};
    for (qsizetype block = 0; block < message.size(); block += 16) {
        for (int j = 0; j < 16; ++j) {
            x[16 + j] = static_cast<unsigned char>(message[block + j]);
            x[32 + j] = x[16 + j] ^ x[j];
        }
        unsigned t = 0;
        for (unsigned round = 0; round < 18; ++round) {
            for (auto &byte : x) {
                byte ^= md2S[t];
                t = byte;
            }
            t = (t + round) & 0xFF;
        }
    }
    return QByteArray(reinterpret_cast<const char *>(x.data()), 16);
}
