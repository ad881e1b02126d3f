#include "formats/MacBinary.h"

namespace wvr {

bool DetectMacBinaryMpeg(fs::File& file, HeaderBytes& header) {
    uint8_t b74 = 1, b82 = 1;
    if (!file.ReadExact(74, &b74, 1) || !file.ReadExact(82, &b82, 1) || b74 != 0 || b82 != 0) return false;
    return ReadMpegHeaderAt(file, kMacBinaryHeaderBytes, header);
}

}  // namespace wvr
