#include "config/mfp_data.h"

#include <cstdio>

OutputKind KindOfFlags(uint32_t flags) {
    if (flags & kOutputDisplay) return OutputKind::Display;
    if (flags & kOutputPortLed) return OutputKind::PortLed;
    if (flags & kOutputMatrixLed) return OutputKind::MatrixLed;
    return OutputKind::None;
}

const std::array<std::string, kInputCount>& InputKeys() {
    static const std::array<std::string, kInputCount> keys = {
        "0000", "0001", "0002", "0003", "0004", "0005", "0006", "0007",
        "0100", "0101", "0102", "0103", "0104", "0105", "0106",
    };
    return keys;
}

std::string InputKey(int port, int bit) {
    char key[32];
    std::snprintf(key, sizeof key, "%02d%02d", port, bit);
    return key;
}
