// The SOCKS layer of the socket chain. The system always connects directly,
// so this layer passes everything through to the plain socket; it keeps its
// place in the chain so the layers above stay where they belong.
#pragma once

#include "WSocketCustom.h"

class TCustomSocksWSocket : public TCustomWSocket {
public:
    TCustomSocksWSocket() = default;
};
