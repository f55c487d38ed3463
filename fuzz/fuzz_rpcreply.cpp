#include "automation/AutomationError.h"
#include "instruments/protocols/RpcMessage.h"
#include "instruments/protocols/RpcRecordReader.h"
#include "instruments/protocols/Vxi11Protocol.h"

#include <cstddef>
#include <cstdint>

// The input is what a VXI-11 peer sends back: record-marked fragments holding an RPC reply,
// taken in pieces as a socket delivers them (the first byte sets the piece size). Every reply
// either decodes or is refused with an AutomationError, and a reader never holds more than its
// limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    constexpr qsizetype kLimit = 4096;
    const qsizetype piece = 1 + data[0] % 64;
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1,
                                static_cast<qsizetype>(size - 1));
    ixo::RpcRecordReader reader(kLimit);
    try {
        qsizetype position = 0;
        while (position < stream.size()) {
            const QByteArrayView part =
                stream.sliced(position, std::min(piece, stream.size() - position));
            const qsizetype taken = reader.consume(part);
            position += taken;
            if (!reader.isComplete())
                continue;
            const QByteArray record = reader.takeRecord();
            if (record.size() > kLimit)
                __builtin_trap();
            try {
                const ixo::XdrReader results =
                    ixo::RpcMessage::results(record, 1, QStringLiteral("FUZZ"));
                const QByteArrayView view =
                    QByteArrayView(record).sliced(record.size() - results.remaining());
                (void)ixo::Vxi11Protocol::parseReadResponse(view, 1024);
                (void)ixo::Vxi11Protocol::parseLinkResponse(view);
            } catch (const ixo::AutomationError &) {
            }
            try {
                (void)ixo::RpcMessage::parseCall(record);
            } catch (const ixo::AutomationError &) {
            }
        }
    } catch (const ixo::AutomationError &) {
    }
    return 0;
}
