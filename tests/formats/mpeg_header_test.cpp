#include <gtest/gtest.h>

#include "formats/MpegHeader.h"

using namespace wvr;

namespace {
AudioInfo Info(uint8_t b0, uint8_t b1, uint8_t b2, long long size, int kind = 1) {
    return FormatAudioInfo({b0, b1, b2}, size, kind);
}
}  // namespace

TEST(MpegHeader, Mpeg1Layer3At128kbit) {
    AudioInfo info = Info(0xFF, 0xFB, 0x90, 3920000);
    EXPECT_EQ(info.infoText, "MP3 128kbit  44.1KHz 245sec ");
    EXPECT_EQ(info.seconds, 245);
}

TEST(MpegHeader, Mpeg2Layer3At8kbit) {
    EXPECT_EQ(Info(0xFF, 0xF3, 0x10, 60000).infoText, "MP3   8kbit 22.05KHz 060sec ");
}

TEST(MpegHeader, FourDigitSecondsForLongLayer2) {
    // MPEG-1 Layer II 192 kbit/s (index 10), 40 minutes.
    AudioInfo info = Info(0xFF, 0xFD, 0xA4, 2400LL * 24000);
    EXPECT_EQ(info.infoText, "MP2 192kbit    48KHz 2400sec ");
}

TEST(MpegHeader, VariableBitRateMarker) {
    EXPECT_EQ(Info(0x00, 0xFB, 0x90, 1600000).infoText, "MP3   VBR   44.1KHz 100sec ");
}

TEST(MpegHeader, KindLabels) {
    EXPECT_EQ(Info(0xFF, 0xFD, 0xA4, 0, 2).infoText, "WAV 192kbit    48KHz 000sec ");
    EXPECT_EQ(Info(0xFF, 0xFB, 0x90, 0, 3).infoText.substr(0, 4), "RMP ");
    EXPECT_EQ(Info(0xFF, 0xFB, 0x90, 0, 7).infoText.substr(0, 4), "??? ");
    EXPECT_EQ(Info(0xFF, 0xFF, 0x10, 0, 1).infoText.substr(0, 4), "MP1 ");
}

TEST(MpegHeader, SamplingRateCodesIncludingReserved) {
    EXPECT_EQ(Info(0xFF, 0xFB, 0x98, 0).infoText, "MP3 128kbit    32KHz 000sec ");
    EXPECT_EQ(Info(0xFF, 0xFB, 0x9C, 0).infoText, "MP3 128kbit    32KHz 000sec ");  // reserved 11
    EXPECT_EQ(Info(0xFF, 0xF3, 0x14, 0).infoText, "MP3   8kbit    24KHz 000sec ");
    EXPECT_EQ(Info(0xFF, 0xF3, 0x18, 0).infoText, "MP3   8kbit    16KHz 000sec ");
}

TEST(MpegHeader, ReservedLayerCodeCountsAsLayer3) {
    EXPECT_EQ(Info(0xFF, 0xF9, 0x90, 0).infoText, "MP3 128kbit  44.1KHz 000sec ");
}

TEST(MpegHeader, Mpeg2Layer1Table) {
    EXPECT_EQ(Info(0xFF, 0xF7, 0x90, 0).infoText, "MP1 144kbit 22.05KHz 000sec ");
}

TEST(MpegHeader, FreeFormatAndInvalidIndexGiveNothing) {
    EXPECT_EQ(Info(0xFF, 0xFB, 0x00, 100000).infoText, "");
    EXPECT_EQ(Info(0xFF, 0xFB, 0xF0, 100000).seconds, 0);
    EXPECT_EQ(Info(0xFF, 0xFB, 0xF0, 100000).infoText, "");
}

TEST(MpegHeader, NegativeAudioSizeRoundsTowardZero) {
    AudioInfo info = Info(0xFF, 0xFB, 0x90, -28);
    EXPECT_EQ(info.seconds, 0);
    EXPECT_EQ(info.infoText, "MP3 128kbit  44.1KHz 000sec ");
}

TEST(MpegHeader, NegativePlayTimeIsPaddedAsPrintfWould) {
    // A file shorter than its tag area: -20000 bytes at 16000 bytes per second.
    EXPECT_EQ(Info(0xFF, 0xFB, 0x90, -20000).infoText, "MP3 128kbit  44.1KHz -01sec ");
    EXPECT_EQ(Info(0xFF, 0xFB, 0x90, -16000 * 123).infoText, "MP3 128kbit  44.1KHz -123sec ");
}
