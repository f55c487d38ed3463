#pragma once

#include "automation/BagValue.h"
#include "automation/Export.h"

#include <QByteArray>
#include <QCborStreamReader>
#include <QString>
#include <optional>

namespace ixo {

// Reads a property bag document element by element. Every failure of the input, whether of
// CBOR itself or of the document's layout, is an AutomationError (321); declared lengths are
// checked against the bytes that are there before anything is allocated for them.
class IXO_EXPORT CborInput {
public:
    explicit CborInput(const QByteArray &source);

    [[noreturn]] static void malformed(const QString &why);

    QCborStreamReader &reader() { return m_reader; }
    bool hasNext();
    void enter();
    void leave();
    void skip();
    // The whole input was one document.
    void finish();

    QString text();
    // Empty when the integer does not fit 64 bits.
    std::optional<qint64> integer();
    double real();
    bool boolean();
    // A byte string of known length stays a slice of the input.
    BagValue bytes();

private:
    void check();
    void checkLength();
    // A string given in one or more chunks, as one.
    template <typename ReadChunk> auto joinChunks(ReadChunk readChunk, const QString &failure);

    QByteArray m_source;
    QCborStreamReader m_reader;
};

} // namespace ixo
