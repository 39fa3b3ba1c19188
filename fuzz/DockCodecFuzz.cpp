// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the docks.json reader. Whatever it accepts must be JSON (simdjson's
// DOM parser, which checks every byte, agrees) and survive a round trip: written, read again and
// written again, it gives the same docks and the same text. The check that keeps no records and
// the reformatting that streams must agree with the reading that keeps them; the reformatting
// writes every text afresh, where a save keeps an untouched clipping as it was read.

#include "models/DockCodec.h"

#include <simdjson.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

namespace {

[[noreturn]] void failed(const char* what) {
    std::fprintf(stderr, "DockCodecFuzz: %s\n", what);
    std::abort();
}

simdjson::error_code domError(QByteArrayView text) {
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    const simdjson::padded_string copy(text.data(), static_cast<std::size_t>(text.size()));
    return parser.parse(copy).get(root);
}

bool isJsonNumber(const std::string& token) {
    static const std::regex grammar(R"(-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?)");
    return std::regex_match(token, grammar);
}

bool isJson(QByteArrayView text) {
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    const simdjson::error_code error = domError(text);
    if (error != simdjson::NUMBER_ERROR)
        return error == simdjson::SUCCESS;
    // The DOM parser also refuses integers beyond 64 bits, which JSON allows and the reader
    // takes as the doubles they are where a double is expected (Qt's parser, for its part,
    // refuses exponents beyond its own limits). JSON's grammar judges each number instead, and
    // the DOM parser the rest with every number made 0.
    std::string rest;
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            rest += c;
            if (c == '\\' && i + 1 < text.size())
                rest += text[++i];
            else if (c == '"')
                inString = false;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            std::string number;
            while (i < text.size() && std::strchr("+-.0123456789eE", text[i]) && text[i] != 0)
                number += text[i++];
            --i;
            if (!isJsonNumber(number))
                return false;
            rest += '0';
        } else {
            inString = c == '"';
            rest += c;
        }
    }
    return domError(QByteArrayView(rest.data(), qsizetype(rest.size()))) == simdjson::SUCCESS;
}

// The reformatted text, or the reader's message when nothing was written.
QByteArray reformatted(const QByteArray& json) {
    QByteArray text;
    const QString error = DockCodec::reformat(json, [&text](QByteArrayView chunk) {
        text += chunk;
        return true;
    });
    if (!error.isEmpty() && !text.isEmpty())
        failed("a file that cannot be read was partly reformatted");
    return error.isEmpty() ? text : error.toUtf8();
}

// The docks as a save writes them once every clipping has been read: in the canonical form.
std::optional<QByteArray> canonical(std::vector<Dock> docks) {
    for (Dock& dock : docks)
        for (DockTab& tab : dock.tabs)
            for (DockItem& item : tab.items)
                if (item.textContent)
                    item.textContent = item.textContent->toString();
    return DockCodec::encode(docks);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Half of the inputs come with spare capacity, which the reader parses in place.
    if (size % 2 == 1)
        json.reserve(json.size() + 128);

    const DockCodec::Decoded decoded = DockCodec::decode(json);
    const DockCodec::Summary summary = DockCodec::check(json);
    if (summary.error != decoded.error)
        failed("the check and the reading disagree");
    if (!decoded.ok()) {
        if (!decoded.docks.empty())
            failed("a failed read returned docks");
        if (!decoded.error.startsWith(QLatin1Char('$')))
            failed("an error without its place");
        if (reformatted(json) != decoded.error.toUtf8())
            failed("the reformatting and the reading disagree on the error");
        return 0;
    }
    if (!isJson(json))
        failed("a text that is not JSON was read");
    if (summary.docks != decoded.docks.size())
        failed("the check counted other docks");
    const std::optional<QByteArray> written = DockCodec::encode(decoded.docks);
    if (!written)
        failed("docks that were read cannot be written");
    if (reformatted(json) != canonical(decoded.docks))
        failed("the reformatting differs from the canonical writing");
    const DockCodec::Decoded reread = DockCodec::decode(*written);
    if (!reread.ok())
        failed("the written form cannot be read");
    if (reread.docks != decoded.docks)
        failed("the round trip changed the docks");
    // Equal text also covers what == does not see, such as the sign of a zero.
    if (DockCodec::encode(reread.docks) != written)
        failed("the canonical form is not stable");
    return 0;
}
