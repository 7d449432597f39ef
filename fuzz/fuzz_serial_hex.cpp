// The serial page's request text to bytes, and the reply bytes to text.
#include "FuzzCheck.h"
#include "config/ConfigConvert.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        // Any UTF-16 text, mostly hex digits and blanks.
        const std::vector<uint8_t> raw = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 4096));
        QString text;
        for (size_t i = 0; i + 1 < raw.size(); i += 2)
            text += QChar(ushort(raw[i] | raw[i + 1] << 8));
        if (input.ConsumeBool())
            text = QString::fromLatin1(reinterpret_cast<const char *>(raw.data()), int(raw.size()));
        QByteArray bytes("untouched");
        const ConfigConvert::HexRequest result = ConfigConvert::ParseHexRequest(text, &bytes);
        require((result == ConfigConvert::HexRequest::Empty) == text.isEmpty());
        if (result != ConfigConvert::HexRequest::Ok) {
            require(bytes == "untouched");
            return 0;
        }
        const QStringList tokens = text.split(QLatin1Char(' '));
        require(bytes.size() == tokens.size());
        for (int i = 0; i < tokens.size(); ++i) {
            bool ok = false;
            const qulonglong value = tokens[i].toULongLong(&ok, 16);
            // toULongLong also takes a "0x" prefix, signs and blanks: a token
            // the request took must read the same.
            require(ok && value <= 0xFFFFFFFFu && char(value & 0xFF) == bytes[i]);
            for (const QChar c : tokens[i]) {
                const ushort u = c.unicode();
                require((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'));
            }
        }
        return 0;
    }

    // A reply buffer of exactly `capacity` bytes and any length the device
    // claims.
    int capacity = 0;
    switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        capacity = input.ConsumeIntegralInRange<int>(0, 1024);
        break;
    case 1:
        capacity = input.ConsumeIntegralInRange<int>(INT32_MIN, -1);
        break;
    default:
        capacity = input.ConsumeIntegralInRange<int>(0, 8);
        break;
    }
    const int32_t length = input.ConsumeIntegral<int32_t>();
    const size_t held = capacity > 0 ? size_t(capacity) : 0;
    std::unique_ptr<uint8_t[]> reply(new uint8_t[held ? held : 1]);
    for (size_t i = 0; i < held; ++i)
        reply[i] = input.ConsumeIntegral<uint8_t>();
    const QString text = ConfigConvert::ReplyText(held ? reply.get() : nullptr, length, capacity);
    const int shown = length <= 0 || capacity <= 0 ? 0 : (length < capacity ? length : capacity);
    require(text.size() == shown * 3);
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < shown; ++i) {
        require(text[3 * i] == QLatin1Char(digits[reply[size_t(i)] >> 4]));
        require(text[3 * i + 1] == QLatin1Char(digits[reply[size_t(i)] & 15]));
        require(text[3 * i + 2] == QLatin1Char(' '));
    }
    return 0;
}
