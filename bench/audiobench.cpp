// Sound: the cost of one second of sound, mixed from the music-video demo at 44.1 and 48 kHz, decoded
// from Nellymoser, and mixed from the most event sounds that play at once.
#include "swf/audio/mixer.h"
#include "swf/audio/nellymoser.h"
#include "swf/limits.h"
#include "swf/player.h"
#include "swfwriter/demomovies.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

// One second of the music video: each frame's share of sound is mixed, then the movie moves on.
void mixMusicVideo(benchmark::State& state, int rate)
{
    kivamo::test::Bytes movie = kivamo::test::musicVideo().bytes;
    auto player = std::move(swf::Player::fromBytes(movie.data(), movie.size()).value());
    const int framesPerSecond = 12;
    std::vector<std::int16_t> out(2 * std::size_t(rate / framesPerSecond));
    for (auto _ : state) {
        for (int f = 0; f < framesPerSecond; ++f) {
            player->mixAudio(out.data(), out.size() / 2, rate);
            player->advance();
        }
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_MusicVideoSecondAt44100(benchmark::State& state) { mixMusicVideo(state, 44100); }
void BM_MusicVideoSecondAt48000(benchmark::State& state) { mixMusicVideo(state, 48000); }

void BM_NellymoserSecondAt44100(benchmark::State& state)
{
    std::mt19937 random(5);
    std::vector<std::uint8_t> data(64 * (44100 / 256 + 1));
    for (auto& b : data)
        b = std::uint8_t(random() % 256);
    for (auto _ : state) {
        swf::audio::NellymoserDecoder decoder;
        swf::audio::Pcm pcm;
        decoder.decode(data.data(), data.size(), pcm, 1 << 20);
        benchmark::DoNotOptimize(pcm.samples.data());
    }
}

void BM_MixAllVoicesSecond(benchmark::State& state)
{
    auto sound = std::make_shared<swf::audio::DecodedSound>();
    sound->samples.assign(2 * 44100 * 2, 0.01f);
    std::vector<float> out(2 * 1024);
    for (auto _ : state) {
        swf::audio::Mixer mixer;
        swf::audio::SoundInfo info;
        info.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
        for (std::size_t v = 0; v < swf::limits::kMaxSoundVoices; ++v)
            mixer.startSound(std::uint32_t(v), sound, info);
        for (int chunk = 0; chunk < 44100 / 1024; ++chunk)
            mixer.mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

BENCHMARK(BM_MusicVideoSecondAt44100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MusicVideoSecondAt48000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NellymoserSecondAt44100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixAllVoicesSecond)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
