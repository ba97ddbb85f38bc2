// Writes Valid.wav (a short rising chime) and Invalid.wav (a low falling
// double beep) into the directory given as the only argument.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int Rate = 22050;
const double Pi = 3.14159265358979323846;

struct Tone {
    double hertz;
    double seconds;
    double pauseAfter;
    // Share of the third harmonic: more sounds harsher.
    double edge;
};

void appendTone(std::vector<int16_t>& samples, const Tone& tone)
{
    const int count = int(tone.seconds * Rate);
    // Short fades avoid clicks at both ends.
    const int fade = Rate / 200;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        double envelope = 1.0;
        if (i < fade)
            envelope = double(i) / fade;
        else if (i > count - fade)
            envelope = double(count - i) / fade;
        envelope *= std::exp(-2.5 * t);
        const double wave = std::sin(2 * Pi * tone.hertz * t) + tone.edge * std::sin(6 * Pi * tone.hertz * t);
        samples.push_back(int16_t(0.45 * 32767 * envelope * wave / (1 + tone.edge)));
    }
    samples.insert(samples.end(), size_t(tone.pauseAfter * Rate), 0);
}

void put16(std::FILE* f, uint16_t v)
{
    const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(std::FILE* f, uint32_t v)
{
    put16(f, uint16_t(v));
    put16(f, uint16_t(v >> 16));
}

bool writeWav(const std::string& path, const std::vector<Tone>& tones)
{
    std::vector<int16_t> samples;
    for (const Tone& tone : tones)
        appendTone(samples, tone);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    const uint32_t bytes = uint32_t(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);
    put16(f, 1);
    put32(f, Rate);
    put32(f, Rate * 2);
    put16(f, 2);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, bytes);
    for (int16_t s : samples)
        put16(f, uint16_t(s));
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = writeWav(dir + "/Valid.wav", {{1046.5, 0.09, 0.02, 0.1}, {1568.0, 0.22, 0.0, 0.1}})
        && writeWav(dir + "/Invalid.wav", {{392.0, 0.16, 0.06, 0.5}, {261.6, 0.30, 0.0, 0.5}});
    return ok ? 0 : 1;
}
