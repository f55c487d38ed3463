#include "automation/AutomationError.h"
#include "instruments/protocols/DnsMessage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any bytes a peer sends on the mDNS port: decoding either fails with an error or gives a
// message that encodes and decodes back to itself.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ixo::DnsMessage message;
    try {
        message = ixo::DnsMessage::decode(bytes);
    } catch (const ixo::AutomationError &) {
        return 0;
    }
    QByteArray encoded;
    try {
        encoded = message.encode();
    } catch (const ixo::AutomationError &) {
        // Labels that grow past 63 bytes when invalid UTF-8 is replaced are refused.
        return 0;
    }
    if (!(ixo::DnsMessage::decode(encoded) == message))
        std::abort();
    return 0;
}
