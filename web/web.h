#pragma once
#include "text/bytes.h"
#include "text/text.h"

namespace zembrik {

// A synchronous GET through "WinHttp.WinHttpRequest.5.1" with the program's time-outs and
// browser-like headers (the Referer is the address itself). The body exactly as received,
// whatever the status; empty bytes on every failure.
Bytes fetch_page(const Text& address);

// Percent-encodes every byte of the name outside * , - . / 0-9 @ A-Z _ a-z as %XX (capital
// hexadecimal), byte by byte: both bytes of a GBK character are handled on their own.
Text url_encode_account(const Text& name);

} // namespace zembrik
