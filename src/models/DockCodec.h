#pragma once

#include "models/Dock.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// docks.json: the writer produces the canonical compact form; the reader is strict and
// all-or-nothing, and names the place of the first problem ("$[0].tabs[1].items[3]: ...").
class DockCodec {
public:
    struct Decoded {
        std::vector<Dock> docks;
        QString error; // empty on success

        bool ok() const { return error.isEmpty(); }
    };

    // Nothing when the docks cannot be written (a double that is not finite).
    static std::optional<QByteArray> encode(const std::vector<Dock>& docks);
    static Decoded decode(const QByteArray& json);
};
