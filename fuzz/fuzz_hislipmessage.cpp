#include "instruments/protocols/HislipMessageReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The first byte picks the chunk size the stream arrives in and the payload limit; the rest is
// what a HiSLIP peer sends. Every message taken must respect the limit, and the reader must
// never hold more than one message and the chunk that completed it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const qsizetype chunk = 1 + (data[0] & 0x1F);
    const quint64 limit = quint64(1) << ((data[0] >> 5) * 2);
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1,
                                static_cast<qsizetype>(size - 1));
    ixo::HislipMessageReader reader(limit);
    for (qsizetype offset = 0; offset < stream.size(); offset += chunk) {
        reader.append(stream.sliced(offset, std::min(chunk, stream.size() - offset)));
        ixo::HislipMessage message;
        ixo::HislipMessageReader::Status status;
        while ((status = reader.next(message)) == ixo::HislipMessageReader::Status::Complete) {
            if (quint64(message.payload.size()) > limit)
                std::abort();
            (void)ixo::HislipMessage::typeName(message.type);
            (void)ixo::HislipMessage::errorText(message.type == ixo::HislipMessage::FatalError,
                                                message.control);
            (void)ixo::HislipMessage::sizeFromPayload(message.payload);
        }
        if (reader.buffered() > ixo::HislipMessage::kHeaderSize + qsizetype(limit) + chunk)
            std::abort();
        if (status != ixo::HislipMessageReader::Status::Incomplete)
            break;
    }
    return 0;
}
