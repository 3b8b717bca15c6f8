// kivamo-swf info, tags and audio from the outside: the printed facts, the written sound, and one clear
// line for bad input.
#include "support/testfiles.h"
#include "support/toolrunner.h"
#include "swfwriter/soundparts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace kivamo::test;

TEST(KivamoSwfInfo, PrintsTheFactsOfEachCompression)
{
    QTemporaryDir dir;
    SwfWriter writer(8, {-200, 11000, 0, 8000}, 0x0C80);
    writer.backgroundColour(0, 0, 0).tag(12, {0}).showFrame().showFrame().showFrame();
    struct Case {
        SwfCompression compression;
        const char* signature;
        const char* compressed;
    } cases[] = {{SwfCompression::None, "FWS", "none"}, {SwfCompression::Zlib, "CWS", "zlib"},
                 {SwfCompression::Lzma, "ZWS", "lzma"}};
    for (const Case& c : cases) {
        Bytes movie = writer.finish(c.compression);
        ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), storeFile(dir, QStringLiteral("m.swf"), movie)});
        ASSERT_FALSE(run.crashed);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(valueOf(run.out, QStringLiteral("signature")), QString::fromLatin1(c.signature));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("compressed")), QString::fromLatin1(c.compressed));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("version")), QStringLiteral("8"));
        // The declared length is the uncompressed movie's, whatever the compression.
        EXPECT_EQ(valueOf(run.out, QStringLiteral("file_length")), QString::number(writer.finish().size()));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("width")), QStringLiteral("560"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("height")), QStringLiteral("400"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("frame_rate")), QStringLiteral("12.5"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("frame_count")), QStringLiteral("3"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("tags")), QStringLiteral("6"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("scripts")), QStringLiteral("1"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("as3")), QStringLiteral("no"));
    }
}

TEST(KivamoSwfInfo, BadInputGivesOneLineAndStatusOne)
{
    QTemporaryDir dir;
    SwfWriter writer;
    writer.tag(2, Bytes(5000, 1)).showFrame();
    Bytes good = writer.finish(SwfCompression::Zlib);
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    Bytes bomb = good;
    bomb[4] = bomb[5] = bomb[6] = bomb[7] = 0xFF;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* words;
    } cases[] = {
        {"text file", {'h', 'e', 'l', 'l', 'o', '\n'}, "not an SWF movie"},
        {"truncated", truncated, "truncated"},
        {"bomb", bomb, "exceeds the limit"},
        {"empty", {}, "not an SWF movie"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"info", "tags"}) {
            ToolRun run = runTool(QStringLiteral("kivamo-swf"),
                                  {QString::fromLatin1(command), storeFile(dir, QStringLiteral("bad.swf"), c.bytes)});
            ASSERT_FALSE(run.crashed) << c.name;
            EXPECT_EQ(run.exitCode, 1) << c.name << " " << command;
            EXPECT_EQ(run.err.count(u'\n'), 1) << c.name << ": " << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.words))) << run.err.toStdString();
            EXPECT_TRUE(run.out.isEmpty()) << c.name;
        }
    }
    ToolRun missing = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), dir.filePath("none.swf")});
    EXPECT_EQ(missing.exitCode, 1);
}

TEST(KivamoSwfInfo, WrongArgumentsGiveStatusTwo)
{
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("frobnicate")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), QStringLiteral("a"), QStringLiteral("b")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("--help")}).exitCode, 0);
}

TEST(KivamoSwfTags, OneLinePerTag)
{
    QTemporaryDir dir;
    SwfWriter writer;
    writer.backgroundColour(255, 0, 0).tag(39, Bytes(70, 0)).showFrame();
    Bytes movie = writer.finish();
    ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("tags"), storeFile(dir, QStringLiteral("t.swf"), movie)});
    ASSERT_EQ(run.exitCode, 0);
    // The header of this movie is 8 + 9 (rectangle) + 4 bytes long, so the first tag starts at 21.
    const QStringList expected{
        QStringLiteral("21 9 SetBackgroundColor 3"),
        QStringLiteral("26 39 DefineSprite 70"),
        QStringLiteral("102 1 ShowFrame 0"),
        QStringLiteral("104 0 End 0"),
    };
    EXPECT_EQ(run.out.split(u'\n', Qt::SkipEmptyParts), expected);
}

namespace {

// The 16-bit stereo samples of a WAV file kivamo-swf wrote (its header checked on the way).
std::vector<std::int16_t> wavSamples(const QString& path, int expectedRate)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    EXPECT_GE(bytes.size(), 44);
    if (bytes.size() < 44)
        return {};
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
    EXPECT_EQ(bytes.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 22), 2);  // channels
    EXPECT_EQ(u32(24), quint32(expectedRate));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 34), 16);
    EXPECT_EQ(u32(40), quint32(bytes.size() - 44));
    std::vector<std::int16_t> samples(std::size_t(bytes.size() - 44) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 44 + 2 * i);
    return samples;
}

}  // namespace

TEST(KivamoSwfAudio, WritesWhatTheMixerMadeForTheFrames)
{
    // 10 fps; a stream of 44.1 kHz mono blocks, frame f at level (f + 1) × 2048; frame 2 starts an event
    // sound of 0.05 s at 4096 on top.
    QTemporaryDir dir;
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(14, defineSoundBody(1, soundFormatByte(3, 3, true, false), 2205, pcmBytes(std::vector<std::int16_t>(2205, 4096))));
    w.tag(45, soundStreamHeadBody(soundFormatByte(3, 3, true, false), 4410));
    for (int f = 0; f < 6; ++f) {
        if (f == 2)
            w.tag(15, startSoundBody(1));
        w.tag(19, pcmBytes(std::vector<std::int16_t>(4410, std::int16_t((f + 1) * 2048))));
        w.showFrame();
    }
    QString movie = storeFile(dir, QStringLiteral("m.swf"), w.finish());
    QString wav = dir.filePath(QStringLiteral("out.wav"));
    ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("audio"), movie, QStringLiteral("--frames"),
                                                         QStringLiteral("4"), QStringLiteral("-o"), wav});
    ASSERT_FALSE(run.crashed);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    std::vector<std::int16_t> samples = wavSamples(wav, 44100);
    ASSERT_EQ(samples.size(), 2u * 4 * 4410);
    for (std::size_t frame = 0; frame < samples.size() / 2; frame += 441) {
        int movieFrame = int(frame / 4410);
        double expected = (movieFrame + 1) * 2048.0;
        if (movieFrame == 2 && frame % 4410 < 2205)
            expected += 4096;
        for (int side = 0; side < 2; ++side)
            EXPECT_NEAR(samples[2 * frame + std::size_t(side)], expected * 32767.0 / 32768.0, 2.0) << frame;
    }
    // At 48 kHz the same frames last as long and keep their levels.
    run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("audio"), movie, QStringLiteral("--frames"),
                                                 QStringLiteral("4"), QStringLiteral("--rate"), QStringLiteral("48000"),
                                                 QStringLiteral("-o"), wav});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    samples = wavSamples(wav, 48000);
    ASSERT_EQ(samples.size(), 2u * 4 * 4800);
    EXPECT_NEAR(samples[2 * 2400], 2048, 40);
    EXPECT_NEAR(samples[2 * (3 * 4800 + 2400)], 4 * 2048, 40);
    // Wrong arguments and unreadable movies.
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("audio"), movie}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("audio"), movie, QStringLiteral("--frames"),
                                                     QStringLiteral("0"), QStringLiteral("-o"), wav}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("audio"), dir.filePath(QStringLiteral("none.swf")),
                                                     QStringLiteral("-o"), wav}).exitCode, 1);
}
