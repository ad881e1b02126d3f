#include "formats/TrackInfo.h"

namespace wvr {

int TrackInfo::KindCode() const { return static_cast<int>(DecimalValue(Kind)); }
long long TrackInfo::AudioSizeValue() const { return DecimalValue(AudioSize); }
long long TrackInfo::SecondsValue() const { return DecimalValue(Seconds); }

long long DecimalValue(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return 0;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        if (value > (1LL << 58)) return 0;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

}  // namespace wvr
