// Sound tags read from their exact bytes: formats, stream heads, sound-info records and short bodies.
#include "swf/audio/soundtags.h"

#include <gtest/gtest.h>

using namespace swf::audio;
using Bytes = std::vector<std::uint8_t>;

TEST(SoundTags, FormatByte)
{
    struct Case {
        std::uint8_t packed;
        Codec codec;
        double rate;
        bool is16Bit, stereo;
    };
    const Case cases[] = {
        {0x00, Codec::UncompressedNative, 5512.5, false, false},
        {0x3F, Codec::UncompressedLittleEndian, 44100, true, true},
        {0x16, Codec::Adpcm, 11025, true, false},
        {0x2B, Codec::Mp3, 22050, true, true},
        {0x4E, Codec::Nellymoser16k, 16000, true, false},  // the rate field is overridden
        {0x52, Codec::Nellymoser8k, 8000, true, false},
        {0x62, Codec::Nellymoser, 5512.5, true, false},
        {0xB6, Codec::Speex, 11025, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.packed));
        SoundFormat f = formatFromByte(c.packed);
        EXPECT_EQ(f.codec, c.codec);
        EXPECT_EQ(f.rate, c.rate);
        EXPECT_EQ(f.is16Bit, c.is16Bit);
        EXPECT_EQ(f.stereo, c.stereo);
        EXPECT_EQ(f.channels(), c.stereo ? 2 : 1);
    }
}

TEST(SoundTags, DefineSound)
{
    Bytes body{0x2C, 0x01, 0x2A, 0x00, 0xA7, 0x00, 0x00, 0xAA, 0xBB};
    auto tag = parseDefineSound(body.data(), body.size());
    ASSERT_TRUE(tag.ok()) << tag.error();
    EXPECT_EQ(tag->id, 300);
    EXPECT_EQ(tag->format.codec, Codec::Mp3);
    EXPECT_EQ(tag->format.rate, 22050);
    EXPECT_TRUE(tag->format.is16Bit);
    EXPECT_FALSE(tag->format.stereo);
    EXPECT_EQ(tag->sampleCount, 42752u);
    EXPECT_EQ(tag->data, (Bytes{0xAA, 0xBB}));
    for (std::size_t cut = 0; cut < 7; ++cut)
        EXPECT_FALSE(parseDefineSound(body.data(), cut).ok()) << cut;
}

TEST(SoundTags, SoundStreamHead)
{
    // Playback 44 kHz 16-bit stereo; stream MP3 22 kHz 16-bit mono, 1470 samples per block, latency 576.
    Bytes mp3{0x0F, 0x2A, 0xBE, 0x05, 0x40, 0x02};
    auto head = parseSoundStreamHead(mp3.data(), mp3.size());
    ASSERT_TRUE(head.ok()) << head.error();
    EXPECT_EQ(head->playback.rate, 44100);
    EXPECT_TRUE(head->playback.stereo);
    EXPECT_EQ(head->stream.codec, Codec::Mp3);
    EXPECT_EQ(head->stream.rate, 22050);
    EXPECT_FALSE(head->stream.stereo);
    EXPECT_EQ(head->samplesPerBlock, 1470);
    EXPECT_EQ(head->latencySeek, 576);
    // Without the latency field, and for other codecs, it is zero.
    EXPECT_EQ(parseSoundStreamHead(mp3.data(), 4)->latencySeek, 0);
    Bytes adpcm{0x0A, 0x17, 0x00, 0x01, 0x40, 0x02};
    EXPECT_EQ(parseSoundStreamHead(adpcm.data(), adpcm.size())->latencySeek, 0);
    EXPECT_FALSE(parseSoundStreamHead(mp3.data(), 3).ok());
}

TEST(SoundTags, StartSoundInfo)
{
    // Sound 17: no multiple, in point 100, out point 50000, 3 loops, envelope of two points.
    Bytes body{0x11, 0x00, 0x1F, 100, 0, 0, 0, 0x50, 0xC3, 0, 0, 3, 0, 2,
               0, 0, 0, 0, 0, 0, 0, 0x80, 0x44, 0xAC, 0, 0, 0x00, 0x80, 0x00, 0x40};
    auto tag = parseStartSound(body.data(), body.size());
    ASSERT_TRUE(tag.ok()) << tag.error();
    const SoundInfo& info = tag->info;
    EXPECT_EQ(tag->soundId, 17);
    EXPECT_FALSE(info.syncStop);
    EXPECT_TRUE(info.syncNoMultiple);
    EXPECT_TRUE(info.hasInPoint);
    EXPECT_EQ(info.inPoint, 100u);
    EXPECT_TRUE(info.hasOutPoint);
    EXPECT_EQ(info.outPoint, 50000u);
    EXPECT_EQ(info.loopCount, 3);
    ASSERT_EQ(info.envelope.size(), 2u);
    EXPECT_EQ(info.envelope[0].position44, 0u);
    EXPECT_EQ(info.envelope[0].left, 0);
    EXPECT_EQ(info.envelope[0].right, 0x8000);
    EXPECT_EQ(info.envelope[1].position44, 44100u);
    EXPECT_EQ(info.envelope[1].left, 0x8000);
    EXPECT_EQ(info.envelope[1].right, 0x4000);
    // Every shorter body is reported, never read past its end.
    for (std::size_t cut = 0; cut < body.size(); ++cut)
        EXPECT_FALSE(parseStartSound(body.data(), cut).ok()) << cut;

    Bytes stop{0x11, 0x00, 0x20};
    auto stopTag = parseStartSound(stop.data(), stop.size());
    ASSERT_TRUE(stopTag.ok());
    EXPECT_TRUE(stopTag->info.syncStop);
    EXPECT_EQ(stopTag->info.loopCount, 1);
    EXPECT_TRUE(stopTag->info.envelope.empty());
}

TEST(SoundTags, StartSound2NamesAClass)
{
    Bytes body{'B', 'e', 'l', 'l', 0, 0x04, 0x02, 0x00};
    auto tag = parseStartSound2(body.data(), body.size());
    ASSERT_TRUE(tag.ok()) << tag.error();
    EXPECT_EQ(tag->className, "Bell");
    EXPECT_EQ(tag->info.loopCount, 2);
    EXPECT_FALSE(parseStartSound2(body.data(), 6).ok());
}
