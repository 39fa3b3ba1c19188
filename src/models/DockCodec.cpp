#include "models/DockCodec.h"

#include "models/DockJsonReader.h"
#include "models/DockJsonWriter.h"

std::optional<QByteArray> DockCodec::encode(const std::vector<Dock>& docks) {
    return DockJsonWriter::write(docks);
}

DockCodec::Decoded DockCodec::decode(const QByteArray& json) {
    return DockJsonReader::read(json);
}
